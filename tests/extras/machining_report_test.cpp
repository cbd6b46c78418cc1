// The machining report: figures read from the program's own move lines, and
// the warnings and spacings from the stations of the same computation.
#include <gtest/gtest.h>

#include <string>

#include "extras_support.h"
#include "files/machining_report.h"

namespace ventaro {
namespace {

using testing::DesignRun;

std::string reportOf(const DesignRun& run) {
  return machiningReport(readProgramMoves(run.program), run.record(), run.fields, readParameters(run.fields),
                         run.table);
}

bool has(const std::string& text, const std::string& line) { return text.find(line + "\n") != std::string::npos; }

TEST(MachiningReport, DefaultBladeCountsBoxesAndBlock) {
  const std::string r = reportOf(DesignRun());
  EXPECT_TRUE(r.starts_with("Machining report\n\nProgram: 4051 lines.\n"));
  EXPECT_TRUE(has(r, "Tool T1 (roughing, diameter 37 mm), feed F1200"));
  EXPECT_TRUE(has(r, "  roughing pass 1:\n    810 cutting moves (G1), 1 rapid move (G0)"));
  // Pass 1: from the first line (Z260.46) down to the leading edges; the
  // rapid move 5 mm above the highest point, Z265.46.
  EXPECT_TRUE(has(r, "    box X 200.000 to 1678.400, Y -76.910 to 329.510, Z -41.160 to 265.460"));
  EXPECT_TRUE(has(r, "    box X 200.000 to 1678.400, Y -76.910 to 329.510, Z -51.160 to 255.460"));
  EXPECT_TRUE(has(r, "  all of T1:\n    2430 cutting moves (G1), 3 rapid moves (G0)"));
  EXPECT_TRUE(has(r, "Tool T2 (finishing, diameter 20 mm), feed F600\n  1602 cutting moves (G1), 0 rapid moves (G0)"));
  EXPECT_TRUE(has(r, "  box X 200.000 to 1678.400, Y -76.910 to 329.760, Z -58.160 to 243.460"));
  EXPECT_TRUE(has(r, "Whole program:\n  4032 cutting moves (G1), 3 rapid moves (G0)"));
  EXPECT_TRUE(has(r, "  box X 200.000 to 1678.400, Y -76.910 to 329.760, Z -58.160 to 265.460"));
  EXPECT_TRUE(has(r, "  width 300.000 mm (the stock width, \u201cMax. Chord  /meter\u201d 0.3 m)"));
  EXPECT_TRUE(has(r, "  length 1480.000 mm (hub radius 200.000 to tip 1680.000)"));
  EXPECT_TRUE(has(r, "  height 301.620 mm (Z -41.160 to 260.460, the lowest to the highest Z of roughing pass 1)"));
  EXPECT_TRUE(has(r, "  roughing: stations 33.600 mm apart, tool stepover 29.600 mm (37 mm x 80 %)"));
  EXPECT_TRUE(has(r, "  finishing: stations 16.800 mm apart, tool stepover 14.800 mm (20 mm x 74 %)"));
  EXPECT_TRUE(has(r, "  roughing: chord wider than the stock (300.000 mm) at stations 0 to 10"));
  EXPECT_TRUE(has(r, "  finishing: chord wider than the stock (300.000 mm) at stations 0 to 20"));
  EXPECT_EQ(r.find("beyond the tip"), std::string::npos);
  EXPECT_EQ(r.find("is not a positive number"), std::string::npos);
}

TEST(MachiningReport, PathLengthAndTimeFromTheWrittenCoordinates) {
  // A 3-4-5 cut, a rapid lift of 10, then the next pass plunges from there.
  const std::string program =
      "T1\r\nF100\r\n( Roughing Pass no.1 )\r\nG1 X0 Y0 Z0\r\nG1 X3 Y4 Z0\r\nG0 X3 Z10\r\n"
      "( Roughing Pass no.2 )\r\nG1 X3 Y4 Z5\r\nF50\r\nT2\r\nG1 X3 Y4 Z0";
  const ProgramMoves m = readProgramMoves(program);
  ASSERT_EQ(m.sections.size(), 4u);  // T1 before its passes, pass 1, pass 2, T2
  const ProgramSection& p1 = m.sections[1];
  EXPECT_EQ(p1.pass, 1);
  EXPECT_EQ(p1.cutMoves, 2);
  EXPECT_EQ(p1.rapidMoves, 1);
  EXPECT_DOUBLE_EQ(p1.cutLength, 5.0);  // the approach to the first move is unknown
  EXPECT_DOUBLE_EQ(p1.rapidLength, 10.0);
  EXPECT_EQ(p1.feedText, "100");
  EXPECT_DOUBLE_EQ(*p1.cutBox.z.hi, 0.0);
  EXPECT_DOUBLE_EQ(*p1.box.z.hi, 10.0);
  EXPECT_DOUBLE_EQ(m.sections[2].cutLength, 5.0);  // from the rapid move's end, Y carried over
  EXPECT_EQ(m.sections[3].tool, 2);
  EXPECT_EQ(m.sections[3].feedText, "50");
  EXPECT_DOUBLE_EQ(m.sections[3].cutLength, 5.0);
  EXPECT_EQ(m.feedTexts, (std::vector<std::string>{"100", "50"}));
  EXPECT_EQ(m.lines, 11);
}

TEST(MachiningReport, FeedThatIsNotAPositiveNumber) {
  const DesignRun run({{Field::RoughFeed, "-1200"}, {Field::FinishFeed, "0"}});
  const std::string r = reportOf(run);
  EXPECT_TRUE(has(r,
                  "  the feed line \u201cF-1200\u201d (\u201cRough Feedrate\u201d) is not a positive "
                  "number: the controller will reject the line"));
  EXPECT_TRUE(has(r,
                  "  the feed line \u201cF0\u201d (\u201cFinish Feedrate\u201d) is not a positive "
                  "number: the controller will reject the line"));
  EXPECT_NE(r.find("time no estimate (a feed is not a positive number)"), std::string::npos);
}

TEST(MachiningReport, RotorWiderThanItsStock) {
  const std::string r = reportOf(DesignRun(testing::narrowStock()));
  EXPECT_TRUE(has(r, "  all of T1:\n    810 cutting moves (G1), 5 rapid moves (G0)"));
  EXPECT_TRUE(has(r, "  roughing pass 5:\n    162 cutting moves (G1), 1 rapid move (G0)"));
  EXPECT_TRUE(has(r, "  width 50.000 mm (the stock width, \u201cMax. Chord  /meter\u201d 0.05 m)"));
  EXPECT_TRUE(has(r, "  length 500.000 mm (hub radius 100.000 to tip 600.000)"));
  EXPECT_TRUE(has(r,
                  "  roughing: chord wider than the stock (50.000 mm) at stations 0 to 8\n"
                  "    leading edge outside the block (Y below 0 or beyond 50.000) at stations 0 to 8\n"
                  "    trailing edge outside the block at stations 0 to 8"));
  EXPECT_TRUE(has(r, "  finishing: chord wider than the stock (50.000 mm) at stations 0 to 17"));
  EXPECT_TRUE(has(r,
                  "  the moves reach X 610.000, beyond the tip: the last station lies within half a station "
                  "spacing of the tip"));
  EXPECT_TRUE(has(r, "  finishing: stations 30.000 mm apart, tool stepover 14.800 mm (20 mm x 74 %)"));
}

TEST(MachiningReport, NoStationsAndNoPasses) {
  const std::string r = reportOf(DesignRun({{Field::RoughPassesNo, "0"}, {Field::HubRad, "2"}}));
  EXPECT_TRUE(has(r, "  height unknown: roughing pass 1 has no cutting move"));
  EXPECT_TRUE(has(r, "Whole program:\n  0 cutting moves (G1), 0 rapid moves (G0)"));
  EXPECT_TRUE(has(r, "Warnings:\n  none"));
}

TEST(MachiningReport, StationRanges) {
  EXPECT_EQ(stationRanges({}), "none");
  EXPECT_EQ(stationRanges({4}), "4");
  EXPECT_EQ(stationRanges({0, 1, 2, 5, 7, 8}), "0 to 2, 5, 7 to 8");
}

}  // namespace
}  // namespace ventaro
