// What the program refuses to write: coordinates that six characters cannot
// hold and feed texts that would bring words of their own; and what it
// keeps: the bytes of every program whose coordinates fit.
#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace ventaro {
namespace {

using test::failingRun;
using test::fieldsWith;
using test::linesOf;
using test::table;

TEST(ProgramMends, CoordinatesThatSixCharactersCannotHoldStopTheRun) {
  struct Case {
    test::Overrides fields;
    std::optional<Field> blamed;
    const char* report;  // its start
  };
  const Case cases[] = {
      {{{Field::D, "2100"}, {Field::STNrough, "50"}, {Field::STNfinish, "100"}},
       std::nullopt,
       "Overflow: the Z coordinate -106880.890625 of roughing station 3 does not fit the six characters of a "
       "coordinate word."},
      {{{Field::RoughDepth, "1e20"}},
       Field::RoughDepth,
       "Overflow: the Z coordinate 3.00000006012263E+20 of roughing station 0 does not fit"},
      {{{Field::Max, "1e30"}}, std::nullopt, "Overflow: the Y coordinate 3.93870701338656E+32 of roughing station 0"},
      {{{Field::D, "25000"}, {Field::STNrough, "50"}, {Field::STNfinish, "100"}},
       std::nullopt,
       "Overflow: the Y coordinate -166875.546875 of roughing station 1"},
      // Without roughing passes the finishing sweep meets it; at X the
      // tip of a rotor of 2400 m.
      {{{Field::D, "2400"},
        {Field::HubRad, "600"},
        {Field::STNrough, "50"},
        {Field::STNfinish, "3"},
        {Field::RoughPassesNo, "0"},
        {Field::Max, "0"}},
       Field::D,
       "Overflow: the X coordinate 1000000 of finishing station 1"},
      // No station at all: the rapid move of a pass is all there is.
      {{{Field::HubRad, "2"}, {Field::RoughPassesNo, "2"}, {Field::RoughDepth, "1e6"}},
       Field::RoughDepth,
       "Overflow: the Z coordinate 2000007 of the rapid move of roughing pass 1"},
  };
  for (const Case& c : cases) {
    const RunError error = failingRun(fieldsWith(c.fields));
    EXPECT_EQ(error.kind(), ErrorKind::Overflow) << error.report();
    EXPECT_EQ(error.field(), c.blamed) << error.report();
    EXPECT_TRUE(error.report().starts_with(c.report)) << error.report();
  }
}

TEST(ProgramMends, ProgramsWhoseCoordinatesFitKeepTheirBytes) {
  // A rotor of 1600 m: X up to 802000, six characters without a point.
  const auto lines = linesOf(compute(
      fieldsWith({{Field::D, "1600"}, {Field::HubRad, "10"}, {Field::STNrough, "50"}, {Field::STNfinish, "100"}}),
      table()));
  ASSERT_EQ(lines.size(), 4519u);
  EXPECT_EQ(lines[11], "G1 X10000 Y5095.6 Z25586.");
  EXPECT_EQ(lines[822], "G1 X730000 Y-27177 Z462.28");
  EXPECT_EQ(lines[911], "G0 X58000 Z84316.");
  EXPECT_EQ(lines.back(), "G1 X802000 Y25689. Z660.40");
}

TEST(ProgramMends, FeedTextsAreNumbersAndParenthesesInCommentsBrackets) {
  for (const auto& [field, feed] : {std::pair{Field::RoughFeed, "1200 G0 Z-300"}, std::pair{Field::FinishFeed, "600 ("},
                                    std::pair{Field::RoughFeed, " "}}) {
    const RunError error = failingRun(fieldsWith({{field, feed}}));
    EXPECT_EQ(error.kind(), ErrorKind::TypeMismatch) << feed;
    EXPECT_EQ(error.field(), field) << feed;
  }
  EXPECT_EQ(failingRun(fieldsWith({{Field::RoughFeed, "1200 G0 Z-300"}})).report(),
            "Type mismatch: \u201cRough Feedrate\u201d is not a number.");

  const auto lines = linesOf(
      compute(fieldsWith({{Field::RoughFeed, "  1200 "}, {Field::FinishFeed, ""}, {Field::RoughDia, "37 ) G0 Z-80 ("}}),
              table()));
  EXPECT_EQ(lines[5], "( T1:37 ] G0 Z-80 [ )");
  EXPECT_EQ(lines[9], "F  1200 ");
  EXPECT_EQ(lines[2446], "F");
}

}  // namespace
}  // namespace ventaro
