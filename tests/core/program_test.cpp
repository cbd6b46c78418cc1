// Whole computations: the default program line by line and against its
// golden copy, the progress figures, the zig-zag across both sweeps, and the
// programs of runs without stations or without roughing passes.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "test_support.h"

namespace ventaro {
namespace {

using test::fieldsWith;
using test::linesOf;
using test::Recorder;
using test::table;

const std::vector<std::string> kHeaderAndRoughingTool{
    "( Blade Diameter = 3.36m )",
    "( Number of blades = 3 )",
    "( Tip Speed Ratio = 6 )",
    "( Angle of Attack = 5\u00b0 )",
    "( Coefficient of lift = 0.8 )",
    "( T1:37 )",
    "( T2:20 )",
    "G64",
    "T1",
    "F1200",
};

std::vector<std::string> slice(const std::vector<std::string>& lines, std::size_t first, std::size_t count) {
  return {lines.begin() + static_cast<long>(first), lines.begin() + static_cast<long>(first + count)};
}

TEST(DefaultProgram, LinesOfEveryBlock) {
  const std::string program = compute(JobFields(), table());
  ASSERT_EQ(program.substr(0, 2), "( ");
  ASSERT_NE(program.substr(program.size() - 2), "\r\n");
  const std::vector<std::string> lines = linesOf(program);
  ASSERT_EQ(lines.size(), 4051u);

  EXPECT_EQ(slice(lines, 0, 10), kHeaderAndRoughingTool);
  // Each pass: its comment, 45 x 18 moves, its rapid move.
  const std::string passZ[3][2] = {{"Z260.46", "Z265.46"}, {"Z255.46", "Z260.46"}, {"Z250.46", "Z255.46"}};
  for (std::size_t k = 0; k < 3; ++k) {
    const std::size_t start = 10 + k * 812;
    EXPECT_EQ(lines[start], "( Roughing Pass no." + std::to_string(k + 1) + " )");
    EXPECT_EQ(lines[start + 1], "G1 X200.00 Y310.30 " + passZ[k][0]);
    EXPECT_EQ(lines[start + 811], "G0 X200.0001 " + passZ[k][1]);
  }
  EXPECT_EQ(slice(lines, 12, 2),
            (std::vector<std::string>{"G1 X200.00 Y287.01 Z250.56", "G1 X200.00 Y264.03 Z240.28"}));
  EXPECT_EQ(slice(lines, 2446, 4),
            (std::vector<std::string>{"F600", "( T2:20 ) ", "T2", "G1 X200.00 Y-74.37 Z-58.16"}));
  EXPECT_EQ(lines[2450], "G1 X200.00 Y-76.91 Z-45.00");
  EXPECT_EQ(lines.back(), "G1 X1678.4 Y203.77 Z4.9285");
}

TEST(DefaultProgram, MatchesGoldenCopyAndRepeats) {
  std::ifstream file(VENTARO_GOLDEN_PROGRAM, std::ios::binary);
  ASSERT_TRUE(file) << VENTARO_GOLDEN_PROGRAM;
  const std::string golden{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  const std::string first = compute(JobFields(), table());
  EXPECT_TRUE(first == golden) << "the default program differs from " << VENTARO_GOLDEN_PROGRAM;
  EXPECT_TRUE(compute(JobFields(), table()) == first);
}

TEST(Progress, FiguresOfTheDefaultRun) {
  Recorder recorder;
  compute(JobFields(), table(), &recorder);
  ASSERT_EQ(recorder.figures.size(), 134u);
  const std::pair<std::size_t, const char*> expected[] = {{1, "0.4%"},    {5, "2%"},   {10, "4%"},     {11, "4.400%"},
                                                          {25, "9.999%"}, {30, "12%"}, {134, "53.60%"}};
  for (const auto& [station, figure] : expected) EXPECT_EQ(recorder.figures[station - 1], figure) << station;
  EXPECT_EQ(progressFigure(4.4000006f), "4.400%");
  EXPECT_EQ(progressFigure(100.00024f), "100.0%");
  EXPECT_EQ(progressFigure(99.99991f), "99.99%");
}

TEST(Progress, NoRoughingPasses) {
  Recorder recorder;
  const std::vector<std::string> lines =
      linesOf(compute(fieldsWith({{Field::RoughPassesNo, "0"}}), table(), &recorder));
  ASSERT_EQ(recorder.figures.size(), 134u);
  EXPECT_EQ(recorder.figures[44], "45%");
  EXPECT_EQ(recorder.figures.back(), "134%");
  ASSERT_EQ(lines.size(), 10u + 3u + 1602u);
  EXPECT_EQ(lines[9], "F1200");
  EXPECT_EQ(lines[10], "F600");
  EXPECT_EQ(lines[13], "G1 X200.00 Y-74.37 Z-58.16");
}

TEST(Program, PassCountsAreRoundedHalfToEven) {
  const std::vector<std::string> two = linesOf(compute(fieldsWith({{Field::RoughPassesNo, "2.5"}}), table()));
  EXPECT_EQ(two.size(), 10u + 2 * 812u + 3u + 1602u);
  EXPECT_EQ(two[11], "G1 X200.00 Y310.30 Z255.46");  // allowance 5 x 2 + 2
  const std::vector<std::string> four = linesOf(compute(fieldsWith({{Field::RoughPassesNo, "3.5"}}), table()));
  EXPECT_EQ(four.size(), 10u + 4 * 812u + 3u + 1602u);
  EXPECT_EQ(four[10 + 3 * 812], "( Roughing Pass no.4 )");
  EXPECT_EQ(four[11], "G1 X200.00 Y310.30 Z265.46");  // allowance 5 x 4 + 2
  EXPECT_EQ(four[10 + 4 * 812 - 1], "G0 X200.0001 Z255.46");
}

TEST(Program, ZigZagCarriesFromRoughingIntoFinishing) {
  // 51 roughing stations give 46 of them, one more than by default: every
  // finishing station then runs the other way round.
  const std::vector<std::string> usual = linesOf(compute(JobFields(), table()));
  const std::vector<std::string> lines = linesOf(compute(fieldsWith({{Field::STNrough, "51"}}), table()));
  const std::size_t finish = 10 + 3 * (46 * 18 + 2) + 3;
  ASSERT_EQ(lines.size(), finish + 1602u);
  EXPECT_EQ(lines[finish], "G1 X200.00 Y310.30 Z243.46");
  for (std::size_t i = 0; i < 89; ++i) {
    std::vector<std::string> station = slice(usual, 2449 + 18 * i, 18);
    std::reverse(station.begin(), station.end());
    EXPECT_EQ(slice(lines, finish + 18 * i, 18), station) << "finishing station " << i;
  }
}

TEST(Program, NoStationsAtAll) {
  const char* const tail[] = {"( Roughing Pass no.1 )",
                              "G0 X0 Z22",
                              "( Roughing Pass no.2 )",
                              "G0 X0 Z17",
                              "( Roughing Pass no.3 )",
                              "G0 X0 Z12",
                              "F600",
                              "( T2:20 ) ",
                              "T2"};
  std::string expected;
  for (const std::string& line : kHeaderAndRoughingTool) expected += (expected.empty() ? "" : "\r\n") + line;
  for (const char* line : tail) expected += std::string("\r\n") + line;

  Recorder recorder;
  EXPECT_EQ(compute(fieldsWith({{Field::HubRad, "2"}}), table(), &recorder), expected);
  EXPECT_TRUE(recorder.figures.empty());
  EXPECT_EQ(recorder.points, 0);

  // Nothing needs the rotor values then: an empty TSR is only copied.
  std::string emptyTsr = expected;
  emptyTsr.replace(emptyTsr.find("Ratio = 6"), 9, "Ratio = ");
  EXPECT_EQ(compute(fieldsWith({{Field::HubRad, "2"}, {Field::TSR, ""}}), table()), emptyTsr);
}

TEST(Program, NoPointAboveZeroLeavesTheHighestPointUnset) {
  // Twisted by 90 degrees in a wide stock, every section lies below Z 0: the
  // rapid moves go to X 0, 5 mm above the allowance of their pass.
  const std::vector<std::string> lines = linesOf(compute(fieldsWith({{Field::AT, "90"}, {Field::Max, "1"}}), table()));
  ASSERT_EQ(lines.size(), 4051u);
  EXPECT_EQ(lines[10 + 811], "G0 X0 Z22");
  EXPECT_EQ(lines[10 + 812 + 811], "G0 X0 Z17");
  EXPECT_EQ(lines[10 + 2 * 812 + 811], "G0 X0 Z12");
}

TEST(Program, FieldTextsAreCopiedAsTyped) {
  const std::vector<std::string> lines = linesOf(compute(fieldsWith({{Field::D, "3.360"},
                                                                     {Field::RoughDia, "37.0"},
                                                                     {Field::FinDia, "20.0"},
                                                                     {Field::RoughFeed, ""},
                                                                     {Field::FinishFeed, " 600\t"},
                                                                     {Field::Cl, " 0.8 "}}),
                                                         table()));
  EXPECT_EQ(lines[0], "( Blade Diameter = 3.360m )");
  EXPECT_EQ(lines[4], "( Coefficient of lift =  0.8  )");
  EXPECT_EQ(slice(lines, 5, 5), (std::vector<std::string>{"( T1:37.0 )", "( T2:20 )", "G64", "T1", "F"}));
  EXPECT_EQ(lines[2446], "F 600\t");
  EXPECT_EQ(lines[2447], "( T2:20 ) ");
}

TEST(Program, LargestTables) {
  // Hub radius 0: 1001 stations in each sweep, five passes.
  const JobFields big = fieldsWith(
      {{Field::HubRad, "0"}, {Field::STNrough, "1000"}, {Field::STNfinish, "1000"}, {Field::RoughPassesNo, "5"}});
  const std::vector<std::string> lines = linesOf(compute(big, table()));
  EXPECT_EQ(lines.size(), 108131u);
  EXPECT_EQ(lines[11].substr(0, 11), "G1 X0.0001 ");
}

}  // namespace
}  // namespace ventaro
