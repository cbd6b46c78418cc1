// The grammar checker itself (it must refuse what a controller would choke
// on), and whole programs of unusual jobs measured against it.
#include "program_grammar.h"

#include <gtest/gtest.h>

#include "gcode/compute.h"

namespace ventaro {
namespace {

using grammar::isCoordText;
using grammar::isNumberText;
using grammar::LineKind;
using grammar::lineKind;
using grammar::programProblem;
using grammar::ProgramShape;

TEST(NumberTextShape, AcceptsTheGeneralNumberTexts) {
  for (const char* word : {"0", "7", "200", "-5", "0.5", "-0.5", "12.34567", "200.0001", "1680", "1E-05", "-2.5E+20",
                           "1.234567E+300", "9.99999999999999E+307"}) {
    EXPECT_TRUE(isNumberText(word)) << word;
  }
}

TEST(NumberTextShape, RefusesOtherSpellings) {
  for (const char* word :
       {"",    "-",    "-0",    "00",     "01",      "+1",     " 1",  "1 ",  "1.",   "1.50", ".5",   "1e-05",
        "1E5", "1E+5", "0E+00", "12E+05", "1.0E+05", "1.E+05", "nan", "inf", "-inf", "1,5",  "0x10", "1E+05x"}) {
    EXPECT_FALSE(isNumberText(word)) << word;
  }
}

TEST(CoordTextShape, AcceptsWholeTextsAndSixCharacterCuts) {
  for (const char* word : {"0", "-5", "1680", "200.00", "-12.34", "0.1234", "12345.", "-1234.", "123456", "1.2300",
                           "1E-05", "1.234E", "1.2E-0", "-1.5E+"}) {
    EXPECT_TRUE(isCoordText(word)) << word;
  }
}

TEST(CoordTextShape, RefusesLongWordsAndImpossibleCuts) {
  // Shorter than six characters the text is whole, so it must be a number
  // text as it stands.
  for (const char* word : {"", "200.000", "200.0001", "1.50", "12.30", "12.", "-0", "1E+5", "12E+05", "-", "1.5E"}) {
    EXPECT_FALSE(isCoordText(word)) << word;
  }
}

TEST(LineKinds, KnowsEachKindOfLine) {
  EXPECT_EQ(lineKind("( Blade Diameter = 3.36m )"), LineKind::Comment);
  EXPECT_EQ(lineKind("( T2:20 ) "), LineKind::Comment);
  EXPECT_EQ(lineKind("( Roughing Pass no.1 )"), LineKind::Comment);
  EXPECT_EQ(lineKind("G64"), LineKind::PathMode);
  EXPECT_EQ(lineKind("T1"), LineKind::ToolCall);
  EXPECT_EQ(lineKind("T2"), LineKind::ToolCall);
  EXPECT_EQ(lineKind("F1200"), LineKind::Feed);
  EXPECT_EQ(lineKind("F"), LineKind::Feed);
  EXPECT_EQ(lineKind("G1 X200.00 Y310.30 Z260.46"), LineKind::LinearMove);
  EXPECT_EQ(lineKind("G1 X200 Y-0.5 Z0"), LineKind::LinearMove);
  EXPECT_EQ(lineKind("G0 X200.0001 Z265.46"), LineKind::RapidMove);
  EXPECT_EQ(lineKind("G0 X0 Z22"), LineKind::RapidMove);
}

TEST(LineKinds, RefusesMalformedLines) {
  for (const char* line : {"",
                           "M30",
                           "G2 X1 Y1 Z1",
                           "T3",
                           "G64 ",
                           "(no blank )",
                           "( open",
                           "( )",
                           "G1 X1 Y2",
                           "G1 X1 Y2 Z3 ",
                           " G1 X1 Y2 Z3",
                           "G1  X1 Y2 Z3",
                           "G1 X1 Z2 Y3",
                           "G1 X1 Y2 Z3 F5",
                           "G1 X200.000 Y1 Z1",
                           "G1 X1 Y1.50 Z1",
                           "G1 X1 Y2 Z",
                           "G0 X200.0001 Y1 Z2",
                           "G0 X200.00010 Z1",
                           "G0 X1 Z200.000",
                           "G1 X1\rY2 Z3",
                           "F12\n00",
                           "( a\n b )"}) {
    EXPECT_FALSE(lineKind(line).has_value()) << line;
  }
}

class Programs : public ::testing::Test {
 protected:
  Programs() { table.fill(); }
  std::string run(std::initializer_list<std::pair<Field, const char*>> changes) {
    JobFields fields;
    for (const auto& [field, text] : changes) fields[field] = text;
    return compute(fields, table);
  }
  SectionTable table;
};

TEST_F(Programs, TheDefaultProgramHasItsShape) {
  const std::string program = run({});
  EXPECT_EQ(grammar::expectedLineCount({3, 45, 89}), 4051u);
  EXPECT_EQ(grammar::programLines(program).size(), 4051u);
  EXPECT_EQ(programProblem(program, {3, 45, 89}), "");
}

TEST_F(Programs, TheCheckerFindsFaultsInAProgram) {
  const std::string program = run({});
  EXPECT_EQ(programProblem(program, {3, 45, 88}),
            "line 4034: a line after the last finishing move in \"G1 X1678.4 Y96.142 Z2.2593\"");
  EXPECT_EQ(programProblem(program.substr(0, program.rfind("\r\n")), {3, 45, 89}),
            "the program ends early, where a linear move was due");
  EXPECT_EQ(programProblem(program + "\r\n"), "the program ends with a line break");
  EXPECT_EQ(programProblem("\r\n" + program), "the program begins with a line break");

  std::string loneFeed = program;
  loneFeed.replace(loneFeed.find("\r\nG64"), 2, "\n");
  EXPECT_EQ(programProblem(loneFeed),
            "line 7: a carriage return or line feed that is not a line join in \"( T2:20 )\nG64\"");

  // Pass 2 must visit the points of pass 1; move one of its Y words.
  std::string moved = program;
  const std::size_t pass2 = moved.find("( Roughing Pass no.2 )");
  const std::size_t y = moved.find(" Y310.30 ", pass2);
  moved.replace(y, 9, " Y310.31 ");
  EXPECT_EQ(programProblem(moved, {3, 45, 89}),
            "line 824: another point than pass 1's in \"G1 X200.00 Y310.31 Z255.46\"");

  // A station whose moves do not share one X.
  std::string split = program;
  const std::size_t second = split.find("\r\nG1 ", split.find("G1 X200.00")) + 2;
  split.replace(second, 10, "G1 X200.01");
  EXPECT_EQ(programProblem(split, {3, 45, 89}).substr(0, 52), "line 13: another X than the station's first move in ");
}

TEST_F(Programs, NoRoughingPassesAndFivePasses) {
  EXPECT_EQ(grammar::programLines(run({{Field::RoughPassesNo, "0"}})).size(), 1615u);
  EXPECT_EQ(programProblem(run({{Field::RoughPassesNo, "0"}}), {0, 45, 89}), "");
  EXPECT_EQ(grammar::programLines(run({{Field::RoughPassesNo, "5"}})).size(), 5675u);
  EXPECT_EQ(programProblem(run({{Field::RoughPassesNo, "5"}}), {5, 45, 89}), "");
}

TEST_F(Programs, AHubBeyondTheTipLeavesOnlyBlocksAndRapidMoves) {
  const std::string program = run({{Field::HubRad, "2"}});
  EXPECT_EQ(programProblem(program, {3, 0, 0}), "");
  const auto lines = grammar::programLines(program);
  ASSERT_EQ(lines.size(), 19u);
  EXPECT_EQ(lines[10], "( Roughing Pass no.1 )");
  EXPECT_EQ(lines[11], "G0 X0 Z22");
  EXPECT_EQ(lines[13], "G0 X0 Z17");
  EXPECT_EQ(lines[15], "G0 X0 Z12");
  EXPECT_EQ(lines[18], "T2");
}

TEST_F(Programs, TheStationTableAtItsLimit) {
  // Hub radius 0 spreads the stations from the axis: count 1000 gives
  // stations 0 to 1000, the whole table.
  const std::string program = run({{Field::HubRad, "0"}, {Field::STNfinish, "1000"}, {Field::STNrough, "1000"}});
  EXPECT_EQ(programProblem(program, {3, 1001, 1001}), "");
}

}  // namespace
}  // namespace ventaro
