// A plank milled from both faces. Side A is milled from above; then the
// plank is turned over about the span (X) axis and side B is milled from
// what was its underside. Each side's check leaves a height map in its own
// frame; together they give every column of the plank one interval of
// material, from side B's floor up to side A's top, in the blade frame
// (X along the span, Y across from 0 to the plank's width, Z up from its
// underside on side A).
//
// From the intervals come what neither side can tell alone: how deep either
// face cuts into the blade, how much is left on the lower surface, what is
// left outside the blade's outline, and whether the blade is still one
// piece with the plank, held by what the job keeps (its root block and
// tabs), or has come loose.
#pragma once

#include <functional>
#include <vector>

#include "check/height_map.h"

namespace ventaro {

class PlankColumns {
 public:
  // Side A's map over the block, side B's over the same block turned over
  // (its Y running from the plank's far side), each cut on the same cells;
  // `thickness` is the plank's. Raises ShopError when the maps do not
  // cover the same block in the same cells.
  PlankColumns(const HeightMap& sideA, const HeightMap& sideB, double thickness);

  int columns() const { return columns_; }
  int rows() const { return rows_; }
  double xAt(int i) const { return x0_ + (i + 0.5) * cell_; }
  double yAt(int j) const { return y0_ + (j + 0.5) * cell_; }
  // The material left in the column, from its floor to its top (empty
  // where the floor is not below the top).
  double floor(int i, int j) const { return floor_[at(i, j)]; }
  double top(int i, int j) const { return top_[at(i, j)]; }
  bool solid(int i, int j) const { return top_[at(i, j)] - floor_[at(i, j)] > kSolid; }

  // Material thinner than this (mm) is taken for none: a hundredth of a
  // millimetre of wood holds nothing.
  static constexpr double kSolid = 0.01;

  // The pieces the material makes: columns side by side belong to one
  // piece where their intervals overlap by more than kSolid. Each solid
  // column's piece number (from 0), -1 for an empty one.
  std::vector<int> pieces(int& count) const;

 private:
  std::size_t at(int i, int j) const {
    return static_cast<std::size_t>(j) * static_cast<std::size_t>(columns_) + static_cast<std::size_t>(i);
  }
  int columns_ = 0, rows_ = 0;
  double x0_ = 0, y0_ = 0, cell_ = 0;
  std::vector<double> floor_, top_;
};

// What the blade is, for the figures: its top and its bottom over a point
// inside its outline, and whether a point lies inside it or in what the job
// keeps (the root block, tabs).
struct PlankTarget {
  std::function<bool(double x, double y)> inside;
  // Far enough inside the outline that a tool reaches all of it: where
  // what is left on the lower surface is measured.
  std::function<bool(double x, double y)> interior;
  std::function<double(double x, double y)> top, bottom;
  std::function<bool(double x, double y)> kept;
  // Where, outside the outline and what is kept, what is left is measured:
  // beside the blade (none: everywhere).
  std::function<bool(double x, double y)> beside;
};

struct PlankFigures {
  // Inside the outline: the deepest cut into the blade from above and from
  // below; well inside it, the most left on its lower surface.
  double deepestFromAbove = 0, deepestFromBelow = 0;
  double mostLeftBelow = 0;
  // Beside the blade, outside the outline and what is kept: the columns
  // with material, and the 99th percentile of what they hold (0 for none).
  std::size_t leftOutside = 0, columnsOutside = 0;
  double leftOutside99 = 0;
  int pieces = 0;
  // Whether the blade's columns and what is kept are all one piece.
  bool bladeHeld = false;
};

PlankFigures plankFigures(const PlankColumns& columns, const PlankTarget& target);

}  // namespace ventaro
