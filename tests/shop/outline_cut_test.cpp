// The outline cut around a block-shaped "blade" standing in a plank: its
// sides are upright walls at Y 40 and Y 60, so the tool's side must run
// along them a radius away, and nothing may be left against them down to
// the allowance above the cut.
#include <gtest/gtest.h>

#include <cmath>

#include "toolpath/outline_cut.h"

namespace ventaro {
namespace {

constexpr double kLow = 40, kHigh = 60, kTop = 20, kMid = 10;

// Upper row over the top, lower under the bottom, both from the middle of
// the low side to the middle of the high side.
SectionRows boxSection(double) {
  Section upper, lower;
  upper[0] = lower[0] = {kLow, kMid};
  upper[17] = lower[17] = {kHigh, kMid};
  for (std::size_t j = 1; j < 17; ++j) {
    const double y = kLow + (kHigh - kLow) * static_cast<double>(j - 1) / 15;
    upper[j] = {y, kTop};
    lower[j] = {y, 0};
  }
  return {upper, lower};
}

TEST(OutlineCut, RunsAlongUprightSidesAndClearsThemDownToTheAllowance) {
  const Block block{0, 100, 0, 100, kTop, 0};
  const Cutter cutter{ToolShape::Flat, 5};
  constexpr double kCutBelow = 3, kAllowance = 2, kTolerance = 0.01;
  const OutlineFloors floors(boxSection, block.x0 - 6, block.x1 + 6, 6, kCutBelow);
  Stock stock(block, 0.5);
  std::vector<PathMove> moves;
  const double lowest = outlineCut(floors, block, cutter, OutlineCutSettings{kAllowance, 4, kTolerance}, stock, moves);
  // Beside each side, the cut lies 3 mm under the lowest point within a
  // millimetre of it (the bottom corner, Z 0), no lower than the plank's
  // underside: the tool goes down to the allowance above it.
  EXPECT_DOUBLE_EQ(floors.low(50), 0);
  EXPECT_DOUBLE_EQ(lowest, kAllowance);
  std::size_t lowSide = 0, highSide = 0;
  for (std::size_t k = 1; k < moves.size(); ++k) {
    const PathMove& m = moves[k];
    if (m.kind != PathMoveKind::Cut) continue;
    const bool low = m.to.y < 50;
    // The tool's side a radius and a little from the wall, never into it.
    EXPECT_NEAR(low ? kLow - m.to.y : m.to.y - kHigh, 5 + kTolerance + 0.01, 1e-9) << m.to.x;
    EXPECT_GE(m.to.z, kAllowance);
    // Climbing, with the blade on the tool's right: the low side towards
    // the hub, the high side towards the tip.
    const double dx = m.to.x - moves[k - 1].to.x;
    if (dx != 0) {
      EXPECT_EQ(dx < 0, low) << m.to.x;
    }
    ++(low ? lowSide : highSide);
  }
  EXPECT_GT(lowSide, 0u);
  EXPECT_GT(highSide, 0u);
  // Against both walls, all along them, no more than the allowance is left.
  for (double x = 0.25; x < 100; x += 0.5) {
    for (const double y : {kLow - 0.25, kHigh + 0.25}) {
      EXPECT_LE(stock.highestWithin(x, y, 0.1), kAllowance) << x << " " << y;
    }
  }
}

}  // namespace
}  // namespace ventaro
