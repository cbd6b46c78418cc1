// Drop-cutter against surfaces whose answers are known in closed form: a
// level plane, an inclined plane, a ridge and a sphere, for a ball-nose and
// a flat end mill, and a tool beside the surface.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "toolpath/drop_cutter.h"

namespace ventaro {
namespace {

using Corners = std::vector<std::array<Vec3, 3>>;

// A height function sampled on a square grid of n x n cells over
// [-half, half]^2, two triangles per cell.
Corners gridOf(double half, int n, const std::function<double(double, double)>& z) {
  Corners out;
  const double step = 2 * half / n;
  auto at = [&](int i, int j) {
    const double x = -half + i * step, y = -half + j * step;
    return Vec3{x, y, z(x, y)};
  };
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      out.push_back({at(i, j), at(i + 1, j), at(i + 1, j + 1)});
      out.push_back({at(i, j), at(i + 1, j + 1), at(i, j + 1)});
    }
  }
  return out;
}

constexpr double kSlope = 0.5;                          // inclined plane and ridge flanks
const double kSecant = std::sqrt(1 + kSlope * kSlope);  // 1 / cos of their angle
constexpr double kSphere = 50;                          // radius of the sphere, centred at the origin
constexpr double kR = 5;                                // tool radius

Corners levelPlane() {
  return {{Vec3{-100, -100, 7}, Vec3{100, -100, 7}, Vec3{100, 100, 7}},
          {Vec3{-100, -100, 7}, Vec3{100, 100, 7}, Vec3{-100, 100, 7}}};
}
Corners inclinedPlane() {
  return gridOf(100, 4, [](double x, double) { return kSlope * x; });
}
// A ridge along Y at x = 0, 10 high, its flanks falling at kSlope.
Corners ridge() {
  return gridOf(100, 10, [](double x, double) { return 10 - kSlope * std::abs(x); });
}
// The upper half of the sphere, finely tessellated in polar rings.
Corners sphere() {
  Corners out;
  const int rings = 90, sectors = 360;
  auto at = [&](int ring, int sector) {
    const double polar = (M_PI / 2) * ring / rings, az = 2 * M_PI * sector / sectors;
    return Vec3{kSphere * std::sin(polar) * std::cos(az), kSphere * std::sin(polar) * std::sin(az),
                kSphere * std::cos(polar)};
  };
  for (int ring = 0; ring < rings; ++ring) {
    for (int s = 0; s < sectors; ++s) {
      out.push_back({at(ring, s), at(ring + 1, s), at(ring + 1, s + 1)});
      if (ring > 0) out.push_back({at(ring, s), at(ring + 1, s + 1), at(ring, s + 1)});
    }
  }
  return out;
}

struct Case {
  const char* name;
  Corners (*surface)();
  ToolShape shape;
  double x, y;
  double expected;
  double within;  // the tessellated sphere lies up to this much inside the true one
};

const double kNoContact = -std::numeric_limits<double>::infinity();

// Ball on a face: the centre is R above the face along its normal.
// Ball over the ridge line: the sphere meets the edge at horizontal distance |x|.
// Flat on an incline: the rim's uphill point, R further up the slope.
// On the sphere: a ball's centre is R + S from the sphere's centre; a flat
// disk rests on the apex while it covers it, else on its rim's nearest point.
const Case kCases[] = {
    {"ball_level", levelPlane, ToolShape::Ball, 3, -4, 7, 0},
    {"flat_level", levelPlane, ToolShape::Flat, 3, -4, 7, 0},
    {"ball_incline", inclinedPlane, ToolShape::Ball, 10, 3, kSlope * 10 + kR*(kSecant - 1), 0},
    {"flat_incline", inclinedPlane, ToolShape::Flat, 10, 3, kSlope*(10 + kR), 0},
    {"ball_ridge_top", ridge, ToolShape::Ball, 0, 0, 10, 0},
    {"ball_ridge_edge", ridge, ToolShape::Ball, 1.5, 0, 10 + std::sqrt(kR* kR - 1.5 * 1.5) - kR, 0},
    {"ball_ridge_flank", ridge, ToolShape::Ball, -20, 7, 10 - kSlope * 20 + kR*(kSecant - 1), 0},
    {"flat_ridge_cover", ridge, ToolShape::Flat, 4.5, 0, 10, 0},
    {"flat_ridge_flank", ridge, ToolShape::Flat, 20, -3, 10 - kSlope*(20 - kR), 0},
    {"ball_sphere_top", sphere, ToolShape::Ball, 0, 0, kSphere, 1e-9},
    {"ball_sphere_side", sphere, ToolShape::Ball, 20, 15, std::sqrt((kSphere + kR) * (kSphere + kR) - 625) - kR, 0.005},
    {"flat_sphere_apex", sphere, ToolShape::Flat, 3, 4, kSphere, 1e-9},
    {"flat_sphere_side", sphere, ToolShape::Flat, 24, 32, std::sqrt(kSphere* kSphere - 35.0 * 35.0), 0.005},
    {"ball_beside", levelPlane, ToolShape::Ball, 106, 0, kNoContact, 0},
    {"flat_beside", levelPlane, ToolShape::Flat, 0, -105.5, kNoContact, 0},
    {"ball_at_edge", levelPlane, ToolShape::Ball, 104, 0, 7 + std::sqrt(kR* kR - 16) - kR, 0},
};

class DropCutterCase : public ::testing::TestWithParam<Case> {};

TEST_P(DropCutterCase, StopsWhereTheToolTouches) {
  const Case& c = GetParam();
  const TargetSurface surface = TargetSurface::fromTriangles(c.surface());
  DropCutter drop(surface, Cutter{c.shape, kR});
  const double z = drop.tipZ(c.x, c.y);
  if (std::isinf(c.expected)) {
    EXPECT_EQ(z, c.expected);
  } else if (c.within > 0) {
    // A tessellation lies inside the sphere: the tool may sink by no more
    // than the tessellation's depth below it, and never stand above it.
    EXPECT_LE(z, c.expected + 1e-9);
    EXPECT_GE(z, c.expected - c.within);
  } else {
    EXPECT_NEAR(z, c.expected, 1e-9);
  }
}

INSTANTIATE_TEST_SUITE_P(KnownSurfaces, DropCutterCase, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// Touching but not entering: over the whole ridge the tool's lowest point
// under every offset of its footprint stays on or above the surface, and
// some point of it lies on the surface.
TEST(DropCutter, TouchesTheRidgeWithoutEnteringIt) {
  const TargetSurface surface = TargetSurface::fromTriangles(ridge());
  for (ToolShape shape : {ToolShape::Ball, ToolShape::Flat}) {
    DropCutter drop(surface, Cutter{shape, kR});
    for (double x = -30; x <= 30; x += 0.37) {
      const double tip = drop.tipZ(x, 0);
      double gap = std::numeric_limits<double>::infinity();
      for (double dx = -kR; dx <= kR; dx += kR / 500) {
        const double lower = shape == ToolShape::Ball ? kR - std::sqrt(std::max(0.0, kR * kR - dx * dx)) : 0;
        gap = std::min(gap, tip + lower - surface.heightAt(x + dx, 0));
      }
      EXPECT_GE(gap, -1e-9) << toolShapeName(shape) << " at x " << x;
      EXPECT_LE(gap, 2e-3) << toolShapeName(shape) << " at x " << x;
    }
  }
}

}  // namespace
}  // namespace ventaro
