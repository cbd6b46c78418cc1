// The blade as designed and the target surface the shop job mills to: the
// blade passes through the program's own placed points at every station,
// and the surface follows the blade, between and beyond the sections,
// within a quarter of the tolerance.
#include <gtest/gtest.h>

#include <cmath>

#include "blade/target_surface.h"
#include "shop_support.h"

namespace ventaro {
namespace {

using shoptest::defaultBlade;
using shoptest::defaultModel;

const Block& block() {
  static const Block b = blockExtent(readParameters(JobFields{}));
  return b;
}

TEST(BladeModel, ThroughThePlacedPointsOfEveryStation) {
  // The stations are the blade sampled by the computation, in its own
  // arithmetic: Z in single precision, the radius a tenth of a micrometre
  // off the axis.
  for (Sweep sweep : {Sweep::Roughing, Sweep::Finishing}) {
    for (const StationRecord& st : defaultBlade().record.sweep(sweep)) {
      const Section sec = defaultModel().section(st.x);
      for (int j = SectionTable::kLower; j <= SectionTable::kUpper; ++j) {
        const PlacedPoint& p = st.points[static_cast<std::size_t>(j)];
        ASSERT_NEAR(sec[static_cast<std::size_t>(j - 1)].y, p.Y, 2e-3) << st.x << " " << j;
        ASSERT_NEAR(sec[static_cast<std::size_t>(j - 1)].z, p.Z, 2e-3) << st.x << " " << j;
      }
    }
  }
}

TEST(BladeModel, SectionHeightIsTheHighestSegmentAndLevelBeyondTheEdges) {
  // A section folded back: 0,0 to 2,4 to 1,6 to 4,5.
  Section sec;
  for (std::size_t j = 0; j < sec.size(); ++j) sec[j] = {4, 5};
  sec[0] = {0, 0};
  sec[1] = {2, 4};
  sec[2] = {1, 6};
  EXPECT_DOUBLE_EQ(sectionHeight(sec, -3), 0);  // before the leading edge
  EXPECT_DOUBLE_EQ(sectionHeight(sec, 0.5), 1);
  EXPECT_DOUBLE_EQ(sectionHeight(sec, 1.5), 6 - 0.5 / 3);  // over the fold: the highest of three segments
  EXPECT_DOUBLE_EQ(sectionHeight(sec, 3), 5 + 1.0 / 3);
  EXPECT_DOUBLE_EQ(sectionHeight(sec, 9), 5);  // beyond the trailing edge
}

TEST(TargetSurface, FollowsTheBladeWithinAQuarterOfTheTolerance) {
  for (double tol : {0.01, 0.1}) {
    const TargetSurface surface(defaultModel(), block(), 20, tol);
    double worst = 0;
    // Across the whole block and the margin beyond the hub and the tip,
    // where the surface keeps their sections. The distance across the
    // surface: a height difference where the section rises at a slope g
    // is a distance of that over sqrt(1 + g^2).
    for (double x = block().x0 - 15; x <= block().x1 + 15; x += 0.37) {
      const Section sec = defaultModel().section(x);
      for (double y = -10; y <= 310; y += 1.3) {
        const double g = std::max(std::abs(sectionHeight(sec, y + 0.2) - sectionHeight(sec, y)),
                                  std::abs(sectionHeight(sec, y) - sectionHeight(sec, y - 0.2))) /
                         0.2;
        worst = std::max(worst, std::abs(surface.heightAt(x, y) - sectionHeight(sec, y)) / std::hypot(1.0, g));
      }
    }
    EXPECT_LE(worst, tol / 4) << tol;
    EXPECT_GT(worst, tol / 100) << tol;  // and no finer than it must be
  }
}

TEST(TargetSurface, HighestAndLowestPointInsideTheBlock) {
  const TargetSurface surface(defaultModel(), block(), 20, 0.01);
  double highest = -1e9, lowest = 1e9;
  for (double x = block().x0; x <= block().x1; x += 0.5) {
    const Section sec = defaultModel().section(x);
    for (double y = 0; y <= 300; y += 0.5) {
      highest = std::max(highest, sectionHeight(sec, y));
      lowest = std::min(lowest, sectionHeight(sec, y));
    }
  }
  // The trailing edge at the hub lies beyond the block's side; the highest
  // point inside it is lower.
  EXPECT_NEAR(surface.heightsWithin(block()).second, highest, 0.0025);
  EXPECT_NEAR(surface.heightsWithin(block()).first, lowest, 0.0025);
  EXPECT_LT(highest, defaultModel().section(block().x0).back().z);
}

// A plank's two faces: side A follows the top of the closed section (the
// higher of its upper and lower surfaces), side B, turned over about X, its
// bottom; both within a quarter of the tolerance across the chord. Beside
// the outline side A falls to the cut's depth below the edge it passes;
// past the tip the tip's section reaches on, then the plank's end is whole.
TEST(TargetSurface, PlankFacesAreTheTopAndTheTurnedBottomOfTheSection) {
  DesignSettings plank;
  plank.chordCap = 300;
  plank.blankThickness = 50;
  plank.rootBlock = std::pair{60.0, 80.0};
  SectionTable table;
  table.fill();
  const BladeModel blade(readParameters(JobFields{}), table, plank);
  constexpr double kTol = 0.1, kWidth = 300, kThickness = 50;
  constexpr double kCut = 3, kTab = 10;
  const SectionSource topFace = plankFace(blade, PlankFace::Top, kWidth, kThickness, blade.tipX() + kTab);
  const OutlineFloors floors(topFace, block().x0 - 20, block().x1 + 20, 0, kCut, 0.05);
  const TargetSurface top(topFace, blade.hubX(), blade.tipX(), block(), 20, kTol, &floors);
  const TargetSurface bottom(plankFace(blade, PlankFace::Bottom, kWidth, kThickness, blade.tipX() + kTab), blade.hubX(),
                             blade.tipX(), block(), 20, kTol);
  double worst = 0;
  std::size_t besides = 0, offCut = 0;
  for (double x = block().x0; x <= block().x1 + kTab + 8; x += 0.73) {
    if (x > blade.tipX() + kTab) {
      EXPECT_EQ(top.heightAt(x, 1), kThickness);
      EXPECT_EQ(bottom.heightAt(x, kWidth / 2), kThickness);
      continue;
    }
    const double at = std::min(x, blade.tipX());
    const Section up = blade.section(at), down = blade.lowerSection(at);
    // The outline's sides, each cut from the lowest point within a
    // millimetre of it.
    SectionPoint lo = up.front(), hi = up.front();
    for (const Section* row : {&up, &down}) {
      for (const SectionPoint& p : *row) lo.y = std::min(lo.y, p.y), hi.y = std::max(hi.y, p.y);
    }
    lo.z = hi.z = kThickness;
    for (const Section* row : {&up, &down}) {
      for (const SectionPoint& p : *row) {
        if (p.y <= lo.y + 1) lo.z = std::min(lo.z, p.z);
        if (p.y >= hi.y - 1) hi.z = std::min(hi.z, p.z);
      }
    }
    // Beside the outline: the cut, never below it. Each section stands on
    // the highest the cut lies between its neighbours, a little above it
    // where the cut changes along the span between sections far apart;
    // at the plank's end and past the tip, where the cut steps, it is the
    // whole plank's.
    for (const auto& [y, cut] :
         {std::pair{lo.y - 1, std::max(0.0, lo.z - kCut)}, std::pair{hi.y + 1, std::max(0.0, hi.z - kCut)}}) {
      if (y < 1 || y > kWidth - 1) continue;
      const double off = top.heightAt(x, y) - cut;
      EXPECT_GE(off, -kTol / 2) << x << " " << y;
      if (off > 1.5) ++offCut;
      ++besides;
    }
    Section upFlipped = up, downFlipped = down;  // upside down, for the lowest
    for (SectionPoint& p : upFlipped) p.z = -p.z;
    for (SectionPoint& p : downFlipped) p.z = -p.z;
    const double lead = std::min(up.front().y, down.front().y), trail = std::max(up.back().y, down.back().y);
    for (double y = lead + 0.5; y < trail - 0.5; y += 1.1) {
      const double highest = std::max(profileHeight(up, y), profileHeight(down, y));
      const double lowest = -std::max(profileHeight(upFlipped, y), profileHeight(downFlipped, y));
      ASSERT_GE(highest, lowest) << x << " " << y;
      // Measured across the surface where it slopes.
      const auto slopeAt = [&](const TargetSurface& s, double yy) {
        return std::hypot(1.0, (s.heightAt(x, yy + 0.2) - s.heightAt(x, yy - 0.2)) / 0.4);
      };
      const double e1 = std::abs(top.heightAt(x, y) - highest) / slopeAt(top, y);
      const double e2 = std::abs(bottom.heightAt(x, kWidth - y) - (kThickness - lowest)) / slopeAt(bottom, kWidth - y);
      worst = std::max({worst, e1, e2});
    }
  }
  // Where the chord cap and the twist limit begin to hold, the blade bends
  // along the span between the points each span is measured at: a few
  // hundredths over the quarter there.
  EXPECT_LE(worst, kTol / 4 * 1.05);
  EXPECT_LT(offCut, besides / 50);
  // The plank holds both faces.
  EXPECT_LE(top.heightsWithin(block()).second, kThickness + 1e-9);
  EXPECT_LE(bottom.heightsWithin(block()).second, kThickness + 1e-9);
  EXPECT_GE(top.heightsWithin(block()).first, 0);
}

TEST(Block, FromTheFields) {
  EXPECT_DOUBLE_EQ(block().x0, static_cast<double>(0.2f) * 1000);
  EXPECT_DOUBLE_EQ(block().x1, 1680);
  EXPECT_DOUBLE_EQ(block().y1, 300);
}

}  // namespace
}  // namespace ventaro
