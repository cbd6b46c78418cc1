// The outputs beside a program as both clients build them: what is asked
// for and nothing else, named the client's way, PNG only through the
// client's rasteriser.
#include "files/job_outputs.h"

#include <gtest/gtest.h>

#include "files/setup_sheet.h"

namespace ventaro {
namespace {

struct Built {
  std::optional<std::string> error;
  JobOutputs out;
};

Built build(const OutputRequest& request, const OutputWays& ways, const JobFields& fields = {}) {
  SectionTable table;
  table.fill();
  const JobRun run = runJob(fields, MachineSettings{}, table, nullptr, needsDesignRecord(request));
  Built built;
  built.error = buildJobOutputs(request, Design{fields, {}}, run, table, ways, built.out);
  return built;
}

TEST(JobOutputs, FilesAsAskedTheReportAsText) {
  OutputRequest request;
  request.stations = "s.csv";
  request.preview = "p.png";
  request.report = true;
  OutputWays ways;
  ways.png = [](std::string_view svg) { return "PNG of " + std::to_string(svg.size()) + " bytes"; };
  const Built built = build(request, ways);
  ASSERT_FALSE(built.error) << *built.error;
  ASSERT_EQ(built.out.files.size(), 2u);
  EXPECT_EQ(built.out.files[0].first, "s.csv");
  EXPECT_TRUE(built.out.files[0].second.starts_with("sweep,")) << built.out.files[0].second.substr(0, 40);
  EXPECT_EQ(built.out.files[1].first, "p.png");
  EXPECT_TRUE(built.out.files[1].second.starts_with("PNG of ")) << built.out.files[1].second;
  ASSERT_TRUE(built.out.reportText);
  EXPECT_FALSE(built.out.checkText);
}

TEST(JobOutputs, AFieldIsNamedTheClientsWay) {
  // A feed of zero: the report warns about it, naming the field.
  OutputRequest request;
  request.report = true;
  request.reportFile = "r.txt";
  OutputWays ways;
  ways.reportName = [](Field field) { return "<" + std::string(fieldLabel(field)) + ">"; };
  JobFields fields;
  fields[Field::RoughFeed] = "0";
  const Built built = build(request, ways, fields);
  ASSERT_FALSE(built.error) << *built.error;
  ASSERT_EQ(built.out.files.size(), 1u);
  EXPECT_NE(built.out.files[0].second.find("(<Rough Feedrate>)"), std::string::npos) << built.out.files[0].second;
}

TEST(JobOutputs, RefusedWithoutARasteriserOrWithAGridTooFine) {
  OutputRequest png;
  png.preview = "p.png";
  EXPECT_EQ(build(png, OutputWays{}).error, "this client cannot write PNG pictures");
  OutputRequest check;
  check.check = true;
  check.checkGrid = 0.05;
  EXPECT_THROW(build(check, OutputWays{}), CheckGridError);
}

}  // namespace
}  // namespace ventaro

namespace ventaro {
namespace {

// The two-sided job's setup sheet says what holds the blade, where the
// programs put it: the root block (60 mm), the tip's tab (the roughing
// tool's radius, the finishing tool's diameter and 3 mm: 41.5) and the
// plank's end (40 mm), from the hub end.
TEST(SetupSheet, TwoSidedHoldsTheBladeByItsEnds) {
  MachineSettings machine;
  machine.controller = Controller::LinuxCnc;
  machine.job = Job::TwoSided;
  machine.design.chordCap = 300;
  machine.design.blankThickness = 75;
  machine.design.rootBlock = std::pair{60.0, 80.0};
  SectionTable table;
  table.fill();
  const JobRun run = runJob(JobFields{}, machine, table, nullptr, false);
  const std::string text = setupSheetText(run, {"b-A.ngc", "b-B.ngc"});
  EXPECT_NE(text.find("What stays whole holds the blade: the whole plank from X 0 to 60; the tip's tab from X 1480 to "
                      "1521.5; the whole plank from X 1521.5 to 1561.5. Fix the plank down at its two ends only"),
            std::string::npos)
      << text;
}

}  // namespace
}  // namespace ventaro
