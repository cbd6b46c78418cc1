// The lowest point of a cutter moved along one straight segment, above a
// given point of the table: the cutter's lower envelope over the whole move,
// worked out exactly for its shape, so that no part of a move is skipped
// between samples. The programmed point is the tool tip (the lowest point
// of the cutter), as the tool length offset puts it.
#pragma once

#include <limits>
#include <utility>

#include "check/program_reader.h"
#include "toolpath/drop_cutter.h"  // Cutter

namespace ventaro {

inline constexpr double kNoCutter = std::numeric_limits<double>::infinity();

// One move of one cutter, prepared for many queries.
class SweptCutter {
 public:
  SweptCutter(const Cutter& cutter, const Point3& from, const Point3& to);

  // The Z of the lowest cutter point above (x, y) over the move, or
  // kNoCutter when the cutter never covers that point.
  double lowestAt(double x, double y) const;

  // The X range the cutter covers during the move on the line at `y`
  // (first > second when none), widened by a hair so that lowestAt has the
  // last word at the rim.
  std::pair<double, double> spanAt(double y) const;

  // The table area the cutter covers during the move.
  double xMin() const { return xMin_; }
  double xMax() const { return xMax_; }
  double yMin() const { return yMin_; }
  double yMax() const { return yMax_; }

 private:
  double flatLowest(double x, double y) const;
  double ballLowest(double x, double y) const;

  Cutter cutter_;
  Point3 a_, b_;
  double dx_, dy_, dz_;              // b - a
  double planar2_;                   // dx² + dy²
  double r2_;                        // radius²
  double length_;                    // |b - a|
  double ux_ = 0, uy_ = 0, uz_ = 0;  // unit direction, zero for a move of no length
  double xMin_, xMax_, yMin_, yMax_;
};

}  // namespace ventaro
