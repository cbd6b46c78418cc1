// The target surface of the default blade: through the placed points, straight
// between them, interpolated between stations, level beyond the edges and
// beyond the first and last station.
#include <gtest/gtest.h>

#include "blade/target_surface.h"
#include "shop_support.h"

namespace ventaro {
namespace {

using shoptest::defaultBlade;

const TargetSurface& surface() {
  static const TargetSurface s(defaultBlade().record, shopBlock(defaultBlade().fields, defaultBlade().record, {}), 20);
  return s;
}

const StationRecord& station(std::size_t i) { return defaultBlade().record.finishing.at(i); }
double zOf(const StationRecord& st, int j) { return st.points[static_cast<std::size_t>(j)].Z; }
double yOf(const StationRecord& st, int j) { return st.points[static_cast<std::size_t>(j)].Y; }

TEST(TargetSurface, PassesThroughThePlacedPoints) {
  // Stations whose sections lie inside the block and do not fold back.
  for (std::size_t i : {20u, 45u, 88u}) {
    for (int j = SectionTable::kLower; j <= SectionTable::kUpper; ++j) {
      EXPECT_NEAR(surface().heightAt(station(i).x, yOf(station(i), j)), zOf(station(i), j), 1e-9)
          << "station " << i << " point " << j;
    }
  }
}

TEST(TargetSurface, StraightBetweenPointsAndStations) {
  const StationRecord& a = station(60);
  const StationRecord& b = station(61);
  for (int j : {3, 9, 15}) {
    // A quarter of the way from point j to j + 1 at one station.
    const double y = 0.75 * yOf(a, j) + 0.25 * yOf(a, j + 1);
    EXPECT_NEAR(surface().heightAt(a.x, y), 0.75 * zOf(a, j) + 0.25 * zOf(a, j + 1), 1e-9);
    // Halfway between the stations along the line of point j.
    const double x = (static_cast<double>(a.x) + b.x) / 2;
    EXPECT_NEAR(surface().heightAt(x, (yOf(a, j) + yOf(b, j)) / 2), (zOf(a, j) + zOf(b, j)) / 2, 1e-9);
  }
}

TEST(TargetSurface, LevelBeyondTheEdgesAndTheStations) {
  const StationRecord& tip = station(88);
  const Block block = shopBlock(defaultBlade().fields, defaultBlade().record, {});
  EXPECT_NEAR(surface().heightAt(tip.x, 0), zOf(tip, SectionTable::kLower), 1e-9);
  EXPECT_NEAR(surface().heightAt(tip.x, 300), zOf(tip, SectionTable::kUpper), 1e-9);
  // The last station lies short of the tip: the block's end keeps its section.
  ASSERT_LT(tip.x, block.x1);
  EXPECT_NEAR(surface().heightAt(block.x1, yOf(tip, 11)), zOf(tip, 11), 1e-9);
}

TEST(TargetSurface, TheHighestOfAFoldedSection) {
  // At the hub the twist turns the leading edge back under the second
  // point: where both lie over the same Y the surface is the higher.
  const StationRecord& hub = station(0);
  ASSERT_LT(yOf(hub, 2), yOf(hub, 1));
  const double y = (yOf(hub, 1) + yOf(hub, 2)) / 2;
  EXPECT_GT(surface().heightAt(hub.x, y), zOf(hub, 1));
}

TEST(Block, FromTheFieldsAndTheHighestPoint) {
  const Block block = shopBlock(defaultBlade().fields, defaultBlade().record, {});
  EXPECT_DOUBLE_EQ(block.x0, static_cast<double>(0.2f) * 1000);
  EXPECT_DOUBLE_EQ(block.x1, 1680);
  EXPECT_DOUBLE_EQ(block.y1, 300);
  // Where the plain program's first roughing pass starts: the highest
  // point (the trailing edge at the hub) plus 3 passes of 5 mm and 2 mm.
  EXPECT_DOUBLE_EQ(block.top, zOf(station(0), 18) + 17);
  EXPECT_DOUBLE_EQ(shopBlock(defaultBlade().fields, defaultBlade().record, 123.5).top, 123.5);
}

}  // namespace
}  // namespace ventaro
