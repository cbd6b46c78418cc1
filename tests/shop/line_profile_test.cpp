// Sampling and thinning heights along a line, and the raster's positions.
#include <gtest/gtest.h>

#include <cmath>

#include "toolpath/line_profile.h"
#include "toolpath/raster_paths.h"

namespace ventaro {
namespace {

std::vector<std::size_t> thin(const std::vector<ProfileSample>& samples, double tol) {
  return thinProfile(samples, 0, samples.size() - 1, tol, [&](std::size_t k) { return samples[k].z; });
}

TEST(LineProfile, ThinningKeepsTheEndsOfAStraightLineAndTheCornersOfABend) {
  // A straight slope: its two ends carry it all.
  const auto slope = sampleProfile(10, 0.5, 0.001, 100, [](double s) { return 2 * s + 1; });
  EXPECT_EQ(thin(slope, 0.001), (std::vector<std::size_t>{0, slope.size() - 1}));
  // A roof: flat up to 4, then rising at 1 in 1. The corner is kept; the
  // points kept are all within the tolerance of the straight moves.
  const auto roof = sampleProfile(10, 0.5, 0.001, 100, [](double s) { return std::max(0.0, s - 4); });
  const auto kept = thin(roof, 0.001);
  ASSERT_EQ(kept.size(), 3u);
  EXPECT_DOUBLE_EQ(roof[kept[1]].s, 4);
  // Walked backwards the same samples are kept.
  const auto back = thinProfile(roof, roof.size() - 1, 0, 0.001, [&](std::size_t k) { return roof[k].z; });
  EXPECT_EQ(back, (std::vector<std::size_t>{kept[2], kept[1], kept[0]}));
}

TEST(LineProfile, SamplingRefinesWhereTheHeightBends) {
  // A corner between two samples of the coarse step (at 1.3 with steps of
  // 1): the spans around it are halved until the middle is within 0.001 of
  // the straight line, so a sample lands within 1/64 of the corner.
  const auto corner = sampleProfile(4, 1, 0.001, 100, [](double s) { return std::abs(s - 1.3); });
  double nearest = 1;
  for (const ProfileSample& p : corner) nearest = std::min(nearest, std::abs(p.s - 1.3));
  EXPECT_LE(nearest, 1.0 / 64);
  // Between any two samples the corner's height departs from the straight
  // line by no more than twice the refinement.
  for (std::size_t k = 1; k < corner.size(); ++k) {
    const auto& a = corner[k - 1];
    const auto& b = corner[k];
    for (double t = 0; t <= 1; t += 0.01) {
      const double s = a.s + t * (b.s - a.s);
      EXPECT_LE(std::abs(std::abs(s - 1.3) - (a.z + t * (b.z - a.z))), 0.002 + 1e-12) << s;
    }
  }
  // A steep climb is cut into spans that rise no more than the limit.
  const auto steep = sampleProfile(2, 1, 0.001, 0.25, [](double s) { return 3 * s; });
  for (std::size_t k = 1; k < steep.size(); ++k) EXPECT_LE(steep[k].z - steep[k - 1].z, 0.25);
}

TEST(LineProfile, BreaksAreAmongTheSamples) {
  const auto samples = sampleProfile(10, 3, 0.01, 100, [](double s) { return s; }, {2.5, 7.25});
  int found = 0;
  for (const ProfileSample& p : samples) found += p.s == 2.5 || p.s == 7.25;
  EXPECT_EQ(found, 2);
  EXPECT_EQ(samples.front().s, 0);
  EXPECT_EQ(samples.back().s, 10);
}

TEST(RasterPositions, EvenlyNoMoreThanTheStepoverApartEndsIncluded) {
  struct Case {
    double x0, x1, stepover;
    std::size_t count;
  };
  for (const Case& c : {Case{200, 1680, 14.8, 101}, Case{200, 1680, 29.6, 51}, Case{0, 10, 3, 5}, Case{0, 1, 5, 2}}) {
    const auto xs = rasterPositions(c.x0, c.x1, c.stepover);
    ASSERT_EQ(xs.size(), c.count) << c.stepover;
    EXPECT_EQ(xs.front(), c.x0);
    EXPECT_EQ(xs.back(), c.x1);
    for (std::size_t i = 1; i < xs.size(); ++i) EXPECT_LE(xs[i] - xs[i - 1], c.stepover + 1e-9);
  }
}

}  // namespace
}  // namespace ventaro
