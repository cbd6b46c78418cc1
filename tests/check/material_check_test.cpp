// The check against small hand-written programs with known outcomes, on a
// block 100 by 50 mm with its top at Z 10 and a level target at Z 0.
#include <gtest/gtest.h>

#include <cmath>

#include "check/check_text.h"
#include "check/material_check.h"

namespace ventaro {
namespace {

CheckSettings smallBlock(ToolShape t1 = ToolShape::Flat, ToolShape t2 = ToolShape::Ball) {
  CheckSettings s;
  s.block = Block{0, 100, 0, 50, 10};
  s.cell = 0.5;
  s.tolerance = 0.01;
  s.tools[1] = Cutter{t1, 5};
  s.tools[2] = Cutter{t2, 3};
  return s;
}

const TargetHeight kLevel = [](double, double) { return 0.0; };

TEST(MaterialCheck, CountsARapidMoveThroughTheBlockWithItsLine) {
  const CheckResult r =
      checkProgram("T1\nG0 X-20 Y25 Z20\nG0 Z5\nG0 X120\nG0 Z20\nG0 Y40\nG0 X-20 Z8\n", smallBlock(), kLevel);
  ASSERT_EQ(r.tools.size(), 1u);
  const ToolFigures& t = r.tools[0];
  EXPECT_EQ(t.rapidMoves, 6);
  EXPECT_EQ(t.rapidsThroughMaterial, 2);
  ASSERT_EQ(t.firstRapidsThroughMaterial.size(), 2u);
  EXPECT_EQ(t.firstRapidsThroughMaterial[0].line, 4);
  EXPECT_EQ(t.firstRapidsThroughMaterial[0].text, "G0 X120");
  EXPECT_EQ(t.firstRapidsThroughMaterial[1].line, 7);
  EXPECT_DOUBLE_EQ(t.rapidDeepest, 5);
  EXPECT_TRUE(r.hazard());
}

TEST(MaterialCheck, APlungeBelowAPlaneGivesItsDepth) {
  const CheckResult r = checkProgram("T1\nG0 X50.25 Y25.25 Z20\nG1 Z-2.5\nG1 Z20\n", smallBlock(), kLevel);
  const ToolFigures& t = r.tools[0];
  EXPECT_EQ(t.rapidsThroughMaterial, 0);
  EXPECT_DOUBLE_EQ(t.deepestEngagement, 12.5);
  EXPECT_EQ(t.engagementPlace.line, 3);
  EXPECT_DOUBLE_EQ(t.deepestBelowTarget, 2.5);
  EXPECT_EQ(t.belowTargetPlace.line, 3);
  // The plunge's footprint: every cell centre within 5 mm of the tip.
  EXPECT_LE(std::hypot(t.belowTargetPlace.x - 50.25, t.belowTargetPlace.y - 25.25), 5);
  EXPECT_DOUBLE_EQ(t.lowest, -2.5);
  EXPECT_DOUBLE_EQ(t.reach, 12.5);
  EXPECT_TRUE(r.hazard());
}

TEST(MaterialCheck, ACleanPassAboveTheTargetIsNoGouge) {
  // Raster the whole block at Z 0.5 with the flat 10 mm cutter, 8 mm apart.
  std::string program = "T1\nG0 X-10 Y0 Z20\nG1 Z0.5\n";
  for (int row = 0; row <= 7; ++row) {
    program += "G1 Y" + std::to_string(row * 8) + "\nG1 X" + (row % 2 ? "-10" : "110") + "\n";
  }
  program += "G0 Z20\n";
  const CheckResult r = checkProgram(program, smallBlock(), kLevel);
  const ToolFigures& t = r.tools[0];
  EXPECT_EQ(t.rapidsThroughMaterial, 0);
  EXPECT_EQ(t.deepestBelowTarget, 0);
  EXPECT_DOUBLE_EQ(t.leftLargest, 0.5);
  EXPECT_DOUBLE_EQ(t.leftMean, 0.5);
  EXPECT_DOUBLE_EQ(t.deepestEngagement, 9.5);
  EXPECT_FALSE(r.hazard());
}

// The interior figures count only the cells the interior holds: after the
// raster at Z 0.5, one pass along Y at Z 0.1 clears X 25 to 35 exactly.
TEST(MaterialCheck, InteriorMeanAndPercentile) {
  std::string program = "T1\nG0 X-10 Y0 Z20\nG1 Z0.5\n";
  for (int row = 0; row <= 7; ++row) {
    program += "G1 Y" + std::to_string(row * 8) + "\nG1 X" + (row % 2 ? "-10" : "110") + "\n";
  }
  program += "G0 Z20\nG0 X30 Y-10\nG1 Z0.1\nG1 Y60\nG0 Z20\n";
  struct Case {
    double x0, x1;
    std::size_t cells;  // columns of 0.5 mm times 60 rows
    double mean, p99;
    const char* text;
  };
  for (const Case c : {Case{20, 70, 6000, 0.42, 0.5, "mean 0.420 mm, 99th percentile 0.500 mm\n"},
                       Case{25, 35.1, 1200, 0.1, 0.1, "mean 0.100 mm, 99th percentile 0.100 mm\n"}}) {
    CheckSettings settings = smallBlock();
    settings.interior = [&](double x, double y) { return x >= c.x0 && x <= c.x1 && y >= 10 && y <= 40; };
    settings.interiorMargin = 10;
    const CheckResult r = checkProgram(program, settings, kLevel);
    const ToolFigures& t = r.tools[0];
    EXPECT_EQ(t.interiorCells, c.cells) << c.x0;
    EXPECT_NEAR(t.interiorMean, c.mean, 1e-12) << c.x0;
    EXPECT_DOUBLE_EQ(t.interiorP99, c.p99) << c.x0;
    EXPECT_DOUBLE_EQ(t.leftLargest, 0.5);
    EXPECT_NE(checkText(r).find(
                  std::string("  material left at least 10 mm inside the block's and the blade's edges: ") + c.text),
              std::string::npos);
  }
}

// A holder 5 mm above the tip of a plunge to Z 2 stands 3 mm into the block
// (top Z 10), going down and coming back up; 9 mm above, it stays clear.
TEST(MaterialCheck, TheHolderMeetsTheBlockAboveAPlunge) {
  struct Case {
    double stickout, met;
    const char* text;
  };
  for (const Case c : {Case{5, 3, "meets material in 2 moves (up to 3.000 mm), the first at line 3\n"},
                       Case{9, 0, "clear of the material\n"}}) {
    CheckSettings settings = smallBlock();
    settings.holders[1] = Holder{8, c.stickout};
    const CheckResult r = checkProgram("T1\nG0 X50 Y25 Z20\nG1 Z2\nG0 Z20\n", settings, kLevel);
    const ToolFigures& t = r.tools[0];
    EXPECT_DOUBLE_EQ(t.holderDeepest, c.met) << c.stickout;
    EXPECT_EQ(r.hazard(), c.met > 0) << c.stickout;
    EXPECT_NE(checkText(r).find(std::string("  holder 16.000 mm across, ") + (c.stickout == 5 ? "5" : "9") +
                                ".000 mm above the tip: " + c.text),
              std::string::npos)
        << checkText(r);
  }
}

TEST(MaterialCheck, FlatAndBallLeaveTheirShapeInTheMap) {
  // A plunge to Z 1 at a cell's centre. The cell 2 mm beside it is left at
  // the tip's height by the flat end and 3 - sqrt(9 - 4) above it by the
  // ball of radius 3; the flat end's rim reaches the cell 3 mm away.
  const std::string program = "T2\nG0 X50.25 Y25.25 Z20\nG1 Z1\nG0 Z20\n";
  const CheckResult ball = checkProgram(program, smallBlock(), kLevel);
  const CheckResult flat = checkProgram(program, smallBlock(ToolShape::Flat, ToolShape::Flat), kLevel);
  const HeightMap& b = ball.finished;
  const HeightMap& f = flat.finished;
  ASSERT_DOUBLE_EQ(b.xAt(100), 50.25);
  ASSERT_DOUBLE_EQ(b.yAt(50), 25.25);
  EXPECT_DOUBLE_EQ(b.at(100, 50), 1);
  EXPECT_DOUBLE_EQ(f.at(100, 50), 1);
  EXPECT_DOUBLE_EQ(b.at(104, 50), 1 + 3 - std::sqrt(5.0));
  EXPECT_DOUBLE_EQ(f.at(104, 50), 1);
  EXPECT_DOUBLE_EQ(f.at(106, 50), 1);   // 3 mm away: on the flat end's rim
  EXPECT_DOUBLE_EQ(f.at(107, 50), 10);  // 3.5 mm away: untouched
}

TEST(MaterialCheck, TheToleranceDecidesAShallowGouge) {
  for (const auto& [depth, hazard] : {std::pair{"-0.005", false}, std::pair{"-0.02", true}}) {
    const CheckResult r =
        checkProgram(std::string("T1\nG0 X50 Y25 Z20\nG1 Z") + depth + "\nG1 Z20\n", smallBlock(), kLevel);
    EXPECT_EQ(r.hazard(), hazard) << depth;
  }
}

TEST(MaterialCheck, EachToolHasItsFigures) {
  const CheckResult r =
      checkProgram("T1\nG0 X20 Y25 Z20\nG1 Z2\nG0 Z20\nT2\nG0 X80.25 Y25.25\nG1 Z-1\nG0 Z20\n", smallBlock(), kLevel);
  ASSERT_EQ(r.tools.size(), 2u);
  EXPECT_EQ(r.tools[0].tool, 1);
  EXPECT_DOUBLE_EQ(r.tools[0].deepestBelowTarget, 0);
  EXPECT_DOUBLE_EQ(r.tools[0].leftLargest, 10);
  EXPECT_EQ(r.tools[1].tool, 2);
  EXPECT_DOUBLE_EQ(r.tools[1].deepestBelowTarget, 1);
  EXPECT_EQ(r.tools[1].belowTargetPlace.line, 7);
}

TEST(MaterialCheck, RefusesAToolTheJobDoesNotHave) {
  EXPECT_THROW((void)checkProgram("T3\nG0 X1 Y1 Z1\n", smallBlock(), kLevel), ToolpathError);
}

// A rapid 5 mm deep along Y 25 into the block, then a plunge to 2.5 mm below
// the target at its end. The first cell of the deepest engagement in the
// map's order (rows from Y 0, columns from X 0) is the lowest row within
// 5 mm of Y 25, where the footprint spans X 48.75 to 51.75. The mean left:
// 10 mm over the block, less 5 mm over the rapid's strip (50.25 by 10 mm
// and a half disc) and 10 mm over the plunge's disc, 9.380 mm.
TEST(MaterialCheck, Text) {
  const CheckResult r = checkProgram("T1\nG0 X-20 Y25 Z5\nG0 X50.25\nG1 Z-2.5\nG0 Z20\n", smallBlock(), kLevel);
  EXPECT_EQ(
      checkText(r),
      "Material check: block X 0.00 to 100.00, Y 0.00 to 50.00, top Z 10.000; 0.500 mm cells (200 x 100)\n"
      "T1 (flat end, diameter 10.000 mm): 1 cutting move, 3 rapid moves\n"
      "  rapid moves through material: 1 (up to 5.000 mm of material):\n"
      "    line 3: G0 X50.25\n"
      "  deepest engagement of a cutting move: 7.500 mm at X 48.75 Y 20.25, line 4\n"
      "  steep descents into material (over 30 degrees, more than 1 mm met): 1, the first at line 4\n"
      "  deepest cut below the target: 2.500 mm at X 48.75 Y 20.25, line 4 (beyond the tolerance)\n"
      "  material left above the target: largest 10.000 mm at X 0.25 Y 0.25, mean 9.380 mm\n"
      "  reach below the block top: 12.500 mm (lowest Z -2.500)\n"
      "Check failed: 1 rapid move through material; cuts up to 2.500 mm below the target (tolerance 0.010 mm).\n");
}

}  // namespace
}  // namespace ventaro
