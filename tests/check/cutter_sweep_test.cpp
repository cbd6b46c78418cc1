// The swept cutter's lowest point above a table point, against known values
// and against a fine walk along the move.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "check/cutter_sweep.h"

namespace ventaro {
namespace {

// The lowest cutter point found by walking the move in small steps: the
// cutter's own surface at each tip position.
double walkedLowest(const Cutter& c, const Point3& a, const Point3& b, double x, double y) {
  constexpr int kSteps = 200000;
  double lowest = kNoCutter;
  for (int s = 0; s <= kSteps; ++s) {
    const double t = static_cast<double>(s) / kSteps;
    const double px = a.x + t * (b.x - a.x), py = a.y + t * (b.y - a.y), pz = a.z + t * (b.z - a.z);
    const double d2 = (x - px) * (x - px) + (y - py) * (y - py);
    if (d2 > c.radius * c.radius) continue;
    const double z = c.shape == ToolShape::Flat ? pz : pz + c.radius - std::sqrt(c.radius * c.radius - d2);
    lowest = std::min(lowest, z);
  }
  return lowest;
}

TEST(CutterSweep, FlatAndBallOverAKnownPoint) {
  // A cutter of radius 5 standing at the origin; the point 3 mm beside the
  // tip: the flat end covers it at the tip's height, the ball 5 - 4 = 1 above.
  const Point3 tip{0, 0, 0};
  EXPECT_EQ(SweptCutter({ToolShape::Flat, 5}, tip, tip).lowestAt(3, 0), 0);
  EXPECT_EQ(SweptCutter({ToolShape::Ball, 5}, tip, tip).lowestAt(0, 3), 1);
  EXPECT_EQ(SweptCutter({ToolShape::Ball, 5}, tip, tip).lowestAt(0, 0), 0);
  EXPECT_EQ(SweptCutter({ToolShape::Flat, 5}, tip, tip).lowestAt(4, 3.01), kNoCutter);
  EXPECT_EQ(SweptCutter({ToolShape::Ball, 5}, tip, tip).lowestAt(5, 0), 5);
  // A descending move along X: the flat end covers (5, 3) from t = 0.1 to
  // t = 0.9, lowest at the end of that span.
  EXPECT_DOUBLE_EQ(SweptCutter({ToolShape::Flat, 5}, {0, 0, 0}, {10, 0, -10}).lowestAt(5, 3), -9);
}

TEST(CutterSweep, MatchesAFineWalkAlongTheMove) {
  const Point3 moves[][2] = {
      {{0, 0, 0}, {10, 0, -10}},  {{0, 0, 0}, {10, 4, 3}},  {{2, -3, 5}, {2, -3, -5}},
      {{0, 0, 0}, {0.001, 0, 9}}, {{-4, 6, 1}, {8, -2, 1}}, {{0, 0, 0}, {30, 0, -2}},
  };
  const double points[][2] = {{5, 3}, {0, 0}, {10, 4}, {2, -3}, {6.5, 2.5}, {-3, 1}, {4, 6}, {12, -1}, {20, 4.9}};
  for (ToolShape shape : {ToolShape::Flat, ToolShape::Ball}) {
    const Cutter cutter{shape, 5};
    for (const auto& m : moves) {
      const SweptCutter sweep(cutter, m[0], m[1]);
      for (const auto& p : points) {
        const double want = walkedLowest(cutter, m[0], m[1], p[0], p[1]);
        const double got = sweep.lowestAt(p[0], p[1]);
        if (want == kNoCutter) {
          EXPECT_EQ(got, kNoCutter) << p[0] << "," << p[1];
        } else {
          // The walk's steps overshoot the true lowest by at most one step's
          // drop.
          EXPECT_LE(got, want + 1e-9) << p[0] << "," << p[1];
          EXPECT_GE(got, want - 1e-3) << p[0] << "," << p[1];
        }
      }
    }
  }
}

TEST(CutterSweep, TheSpanOfARowIsTheFootprint) {
  const Point3 moves[][2] = {
      {{0, 0, 0}, {10, 0, -10}}, {{0, 0, 0}, {10, 4, 3}},  {{2, -3, 5}, {2, -3, -5}},
      {{0, 0, 0}, {0, 12, 0}},   {{-4, 6, 1}, {8, -2, 1}}, {{3, 3, 3}, {3, 3, 3}},
  };
  for (const auto& m : moves) {
    const SweptCutter sweep({ToolShape::Flat, 5}, m[0], m[1]);
    for (double y = -12; y <= 18; y += 0.37) {
      const auto [lo, hi] = sweep.spanAt(y);
      for (double x = -15; x <= 20; x += 0.23) {
        const bool covered = sweep.lowestAt(x, y) != kNoCutter;
        if (covered) {
          EXPECT_TRUE(lo <= x && x <= hi) << x << "," << y;
        }
        if (lo + 1e-6 < x && x < hi - 1e-6) {
          EXPECT_TRUE(covered) << x << "," << y;
        }
      }
    }
  }
}

}  // namespace
}  // namespace ventaro
