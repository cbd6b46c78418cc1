// A plank milled from both faces: a 100 x 40 x 20 mm plank whose "blade"
// is the block X 20 to 80, Y 10 to 30, freed by a moat cut half way from
// each side. Side B's map is in its own frame, the plank turned over about
// X: its row at Y' lies over the plank's Y = 40 - Y'.
#include <gtest/gtest.h>

#include "check/plank_stock.h"

#include <functional>

namespace ventaro {
namespace {

constexpr double kT = 20;

Block plank() {
  Block b;
  b.x1 = 100;
  b.y1 = 40;
  b.top = kT;
  return b;
}

bool inBlade(double x, double y) { return x > 20 && x < 80 && y > 10 && y < 30; }
bool inMoat(double x, double y) { return x > 10 && x < 90 && y > 5 && y < 35 && !inBlade(x, y); }

// Cuts a side's map to `z` wherever `where` holds, in the plank's own Y.
void cut(HeightMap& map, bool sideB, double z, const std::function<bool(double, double)>& where) {
  for (int j = 0; j < map.rows(); ++j) {
    for (int i = 0; i < map.columns(); ++i) {
      const double y = sideB ? 40 - map.yAt(j) : map.yAt(j);
      if (where(map.xAt(i), y)) map.at(i, j) = z;
    }
  }
}

PlankTarget target() {
  PlankTarget t;
  t.inside = inBlade;
  t.interior = inBlade;
  t.top = [](double, double) { return kT; };
  t.bottom = [](double, double) { return 0.0; };
  t.kept = [](double x, double y) { return !inBlade(x, y) && !inMoat(x, y); };  // the frame
  return t;
}

TEST(PlankStock, MoatCutFromBothSidesFreesTheBladeUnlessATabHoldsIt) {
  for (const bool tab : {false, true}) {
    HeightMap a(plank(), 1), b(plank(), 1);
    cut(a, false, 10, inMoat);
    // Side B leaves the tab, X 48 to 52 on the moat's Y 5 to 10 side.
    cut(b, true, 10, [&](double x, double y) { return inMoat(x, y) && !(tab && x > 48 && x < 52 && y < 10); });
    const PlankColumns columns(a, b, kT);
    PlankTarget t = target();
    if (tab)
      t.kept = [](double x, double y) { return !inBlade(x, y) && (!inMoat(x, y) || (x > 48 && x < 52 && y < 10)); };
    const PlankFigures f = plankFigures(columns, t);
    EXPECT_EQ(f.pieces, tab ? 1 : 2) << tab;
    EXPECT_EQ(f.bladeHeld, tab) << tab;
    EXPECT_EQ(f.deepestFromAbove, 0);
    EXPECT_EQ(f.deepestFromBelow, 0);
    EXPECT_EQ(f.leftOutside, 0u);
    EXPECT_EQ(f.leftOutside99, 0);
  }
}

TEST(PlankStock, SideBIsTurnedOverAboutX) {
  HeightMap a(plank(), 1), b(plank(), 1);
  // Side B's first row, Y' 0 to 1, lies under the plank's last, Y 39 to 40.
  for (int i = 0; i < b.columns(); ++i) b.at(i, 0) = kT - 3;
  const PlankColumns columns(a, b, kT);
  EXPECT_EQ(columns.floor(7, 39), 3);
  EXPECT_EQ(columns.floor(7, 0), 0);
  EXPECT_EQ(columns.top(7, 39), kT);
}

TEST(PlankStock, CutsIntoTheBladeAndWhatIsLeftOutside) {
  HeightMap a(plank(), 1), b(plank(), 1);
  cut(a, false, 10, inMoat);
  cut(b, true, 11, inMoat);  // side B leaves 1 mm in the moat
  cut(a, false, kT - 0.2, [](double x, double y) { return inBlade(x, y) && x < 30; });
  cut(b, true, kT - 0.3, [](double x, double y) { return inBlade(x, y) && x > 70; });
  const PlankFigures f = plankFigures(PlankColumns(a, b, kT), target());
  EXPECT_NEAR(f.deepestFromAbove, 0.2, 1e-12);
  EXPECT_NEAR(f.deepestFromBelow, 0.3, 1e-12);
  EXPECT_EQ(f.mostLeftBelow, 0);
  EXPECT_EQ(f.leftOutside, f.columnsOutside);
  EXPECT_NEAR(f.leftOutside99, 1, 1e-12);
  EXPECT_TRUE(f.bladeHeld);  // by the 1 mm web
}

TEST(PlankStock, RefusesMapsOfAnotherPlank) {
  Block other = plank();
  other.y1 = 41;
  EXPECT_THROW(PlankColumns(HeightMap(plank(), 1), HeightMap(other, 1), kT), ShopError);
}

}  // namespace
}  // namespace ventaro
