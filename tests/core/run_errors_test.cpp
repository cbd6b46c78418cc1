// How runs fail: the kind, the field and the report text of each error, how
// far the run got before it, and which field a run with several bad texts
// names first.
#include <gtest/gtest.h>

#include "test_support.h"

namespace ventaro {
namespace {

using test::failingRun;
using test::fieldsWith;
using test::Recorder;

TEST(RunErrors, ReportTexts) {
  const RunError hub = failingRun(fieldsWith({{Field::HubRad, ""}}));
  EXPECT_EQ(hub.kind(), ErrorKind::TypeMismatch);
  EXPECT_EQ(hub.field(), Field::HubRad);
  EXPECT_EQ(hub.report(), "Type mismatch: \u201cHub Radius / meter\u201d is not a number.");
  EXPECT_EQ(std::string(hub.what()), hub.report());

  const RunError passes = failingRun(fieldsWith({{Field::RoughPassesNo, "40000"}}));
  EXPECT_EQ(passes.kind(), ErrorKind::Overflow);
  EXPECT_EQ(passes.report(), "Overflow: \u201cRoughing Passes\u201d is outside -32768 to 32767.");

  Recorder recorder;
  const RunError finish = failingRun(fieldsWith({{Field::STNfinish, "2000"}}), &recorder);
  EXPECT_EQ(finish.kind(), ErrorKind::SubscriptOutOfRange);
  EXPECT_EQ(finish.report(), "Subscript out of range: more than 1001 finishing stations.");
  // Stations 0 to 1000 were placed and counted, station 1001 not begun.
  ASSERT_EQ(recorder.figures.size(), 45u + 1001u);
  EXPECT_EQ(recorder.stations.back(), std::pair(Sweep::Finishing, 1000));
  EXPECT_EQ(recorder.points, (45 + 1001) * 18);

  EXPECT_EQ(failingRun(fieldsWith({{Field::STNrough, "2000"}})).report(),
            "Subscript out of range: more than 1001 roughing stations.");
}

TEST(FieldTable, NamesLabelsAndInitialTexts) {
  const struct {
    Field field;
    const char* control;
    const char* label;  // as texts name it, heading first
    const char* initial;
    const char* unit;
  } cases[] = {
      {Field::HubRad, "txtHubRad", "Hub Radius / meter", "0.2", "m"},
      {Field::Max, "txtMax", "Max. Chord  /meter", "0.3", "m"},
      {Field::AT, "txtAT", "Angle attack / \u00b0", "5", "degrees"},
      {Field::STNfinish, "txtSTNfinish", "Stations (Finish)", "100", "steps over the rotor radius"},
      {Field::RoughStep, "txtRoughStep", "Roughing Tool: Stepover / %:", "80", "% of diameter"},
      {Field::FinDia, "TxtFinDia", "Finishing Tool: Diameter / mm", "20", "mm"},
  };
  for (const auto& c : cases) {
    const FieldInfo& info = fieldInfo(c.field);
    EXPECT_EQ(info.control, c.control);
    EXPECT_EQ(fieldLabel(c.field), c.label);
    EXPECT_EQ(JobFields()[c.field], c.initial);
    EXPECT_EQ(info.unit, c.unit);
  }
  EXPECT_EQ(fieldInfo(Field::FinDia).label, "Diameter / mm");
  EXPECT_EQ(fieldInfo(Field::FinDia).heading, "Finishing Tool:");
  EXPECT_EQ(quotedLabel(Field::Max), "\u201cMax. Chord  /meter\u201d");
}

TEST(RunErrors, EachClientNamesTheFieldItsOwnWay) {
  const auto tagged = [](Field field) { return "<" + std::string(fieldInfo(field).name) + ">"; };
  const struct {
    test::Overrides overrides;
    std::string report;
  } cases[] = {
      {{{Field::HubRad, "x"}}, "Type mismatch: <HubRad> is not a number."},
      {{{Field::B, "0"}}, "Division by zero: computing the chord of roughing station 0 (<B>)."},
      {{{Field::STNfinish, "2000"}}, "Subscript out of range: more than 1001 finishing stations."},
      {{{Field::RoughPassesNo, "6"}}, "Subscript out of range: more than 5 roughing passes."},
  };
  for (const auto& c : cases) {
    const RunError error = failingRun(fieldsWith(c.overrides));
    EXPECT_EQ(error.report(tagged), c.report);
    EXPECT_EQ(error.report().find('<'), std::string::npos) << error.report();
  }
}

TEST(RunErrors, StationsOutsideTheRotorAreRefusedBeforeTheProgramChanges) {
  const struct {
    test::Overrides overrides;
    std::string report;
  } cases[] = {
      {{{Field::HubRad, "-0.5"}},
       "Overflow: \u201cHub Radius / meter\u201d is below 0: stations would lie outside the rotor."},
      {{{Field::STNfinish, "-5"}},
       "Overflow: \u201cStations (Finish)\u201d is below 0: stations would lie outside the rotor."},
      {{{Field::HubRad, "2"}, {Field::STNfinish, "-21.6216216216216"}, {Field::STNrough, "-12.5"}},
       "Overflow: \u201cStations (Finish)\u201d is below 0 because \u201cHub Radius / meter\u201d lies beyond the "
       "tip: stations would lie outside the rotor."},
      {{{Field::STNrough, "-0.1"}},
       "Overflow: \u201cStations (Rough)\u201d is below 0: stations would lie outside the rotor."},
      {{{Field::D, "-3.36"}},
       "Overflow: \u201cDiameter / meter\u201d is below 0: stations would lie outside the rotor."},
  };
  for (const auto& c : cases) {
    Recorder recorder;
    const RunError error = failingRun(fieldsWith(c.overrides), &recorder);
    EXPECT_EQ(error.report(), c.report);
    EXPECT_TRUE(recorder.figures.empty()) << c.report;
    EXPECT_EQ(recorder.points, 0) << c.report;
  }
  // A text that is not a number still fails at its first conversion, in the
  // run's order: the roughing depth before the station count.
  const RunError order = failingRun(fieldsWith({{Field::STNrough, "-x"}, {Field::RoughDepth, "y"}}));
  EXPECT_EQ(order.field(), Field::RoughDepth);
  // Zero is no count below 0: the hub radius "-0" is the axis itself.
  EXPECT_EQ(compute(fieldsWith({{Field::HubRad, "-0"}}), test::table()),
            compute(fieldsWith({{Field::HubRad, "0"}}), test::table()));
}

TEST(RunErrors, KindsAndHowFarTheRunGot) {
  const struct {
    const char* name;
    test::Overrides overrides;
    ErrorKind kind;
    std::size_t figures;  // progress updates before the error
    int points;           // section points placed before the error
  } cases[] = {
      {"six passes", {{Field::RoughPassesNo, "6"}}, ErrorKind::SubscriptOutOfRange, 0, 1},
      {"minus one pass", {{Field::RoughPassesNo, "-1"}}, ErrorKind::Overflow, 0, 1},
      {"256 passes", {{Field::RoughPassesNo, "256"}}, ErrorKind::Overflow, 0, 1},
      {"255 passes", {{Field::RoughPassesNo, "255"}}, ErrorKind::SubscriptOutOfRange, 0, 1},
      {"six passes, no stations",
       {{Field::RoughPassesNo, "6"}, {Field::HubRad, "2"}},
       ErrorKind::SubscriptOutOfRange,
       0,
       0},
      {"minus one pass, no stations", {{Field::RoughPassesNo, "-1"}, {Field::HubRad, "2"}}, ErrorKind::Overflow, 0, 0},
      {"no stations counted", {{Field::STNfinish, "0"}, {Field::STNrough, "0"}}, ErrorKind::DivisionByZero, 0, 0},
      {"2000 roughing stations", {{Field::STNrough, "2000"}}, ErrorKind::SubscriptOutOfRange, 0, 0},
      {"1001 stations from the axis",
       {{Field::HubRad, "0"}, {Field::STNfinish, "1001"}},
       ErrorKind::SubscriptOutOfRange,
       51 + 1001,
       (51 + 1001) * 18},
      {"rotor diameter 0", {{Field::D, "0"}}, ErrorKind::DivisionByZero, 0, 0},
      {"tip speed ratio 0", {{Field::TSR, "0"}}, ErrorKind::DivisionByZero, 0, 0},
      {"no blades", {{Field::B, "0"}}, ErrorKind::DivisionByZero, 0, 0},
      {"empty tip speed ratio", {{Field::TSR, ""}}, ErrorKind::TypeMismatch, 0, 0},
      {"a hub radius beyond singles", {{Field::HubRad, "1e39"}}, ErrorKind::Overflow, 0, 0},
      {"a roughing depth beyond singles", {{Field::RoughDepth, "2e38"}}, ErrorKind::FloatingPoint, 0, 0},
      {"a stock width beyond singles", {{Field::Max, "1e300"}}, ErrorKind::Overflow, 0, 0},
  };
  for (const auto& c : cases) {
    Recorder recorder;
    const RunError error = failingRun(fieldsWith(c.overrides), &recorder);
    EXPECT_EQ(error.kind(), c.kind) << c.name << ": " << error.report();
    EXPECT_EQ(recorder.figures.size(), c.figures) << c.name;
    EXPECT_EQ(recorder.points, c.points) << c.name;
  }
}

TEST(RunErrors, FirstConversionDecidesWhichFieldIsNamed) {
  // Every field bad; fixing them one by one, in the order a run meets its
  // first conversions, must name the next one each time.
  // A feed is checked when its line is written: the roughing feed after
  // the header, the finishing feed after the roughing passes.
  const Field order[] = {Field::HubRad,      Field::RoughPassesNo, Field::FinDia,    Field::RoughDepth,
                         Field::FinishDepth, Field::STNrough,      Field::STNfinish, Field::RoughFeed,
                         Field::D,           Field::TSR,           Field::B,         Field::Cl,
                         Field::AT,          Field::Max,           Field::FinishFeed};
  JobFields fields;
  for (Field field : order) fields[field] = "x";
  // Copied, never converted: these cannot fail a run.
  for (Field field : {Field::RoughDia, Field::RoughStep, Field::FinStep}) {
    fields[field] = "x";
  }
  for (Field field : order) {
    const RunError error = failingRun(fields);
    EXPECT_EQ(error.kind(), ErrorKind::TypeMismatch) << fieldLabel(field);
    EXPECT_EQ(error.field(), field) << "expected " << fieldLabel(field) << ", got " << error.report();
    fields[field] = JobFields::defaultText(field);
  }
  const std::vector<std::string> lines = test::linesOf(compute(fields, test::table()));
  EXPECT_EQ(lines[5], "( T1:x )");
}

}  // namespace
}  // namespace ventaro
