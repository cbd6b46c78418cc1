#include "check/cutter_sweep.h"

#include <algorithm>
#include <cmath>

namespace ventaro {

SweptCutter::SweptCutter(const Cutter& cutter, const Point3& from, const Point3& to)
    : cutter_(cutter),
      a_(from),
      b_(to),
      dx_(to.x - from.x),
      dy_(to.y - from.y),
      dz_(to.z - from.z),
      planar2_(dx_ * dx_ + dy_ * dy_),
      r2_(cutter.radius * cutter.radius),
      length_(std::sqrt(planar2_ + dz_ * dz_)),
      xMin_(std::min(from.x, to.x) - cutter.radius),
      xMax_(std::max(from.x, to.x) + cutter.radius),
      yMin_(std::min(from.y, to.y) - cutter.radius),
      yMax_(std::max(from.y, to.y) + cutter.radius) {
  if (length_ > 0) {
    ux_ = dx_ / length_;
    uy_ = dy_ / length_;
    uz_ = dz_ / length_;
  }
}

// The footprint of either shape is the set of points within the radius of
// the tip's path seen from above: two discs and the strip between them,
// together convex, so its cut with a line is one range.
std::pair<double, double> SweptCutter::spanAt(double y) const {
  constexpr double kHair = 1e-9;
  const double r = cutter_.radius;
  double lo = kNoCutter, hi = -kNoCutter;
  auto unite = [&](double a, double b) {
    if (a > b) return;
    lo = std::min(lo, a);
    hi = std::max(hi, b);
  };
  for (const Point3& p : {a_, b_}) {
    const double wy = y - p.y;
    if (std::abs(wy) <= r) {
      const double half = std::sqrt(r * r - wy * wy);
      unite(p.x - half, p.x + half);
    }
  }
  if (planar2_ > 0) {
    // |d × w| <= r |d| and 0 <= d · w <= |d|², with w = (x - a.x, y - a.y).
    const double wy = y - a_.y, reach = r * std::sqrt(planar2_);
    double from = -kNoCutter, to = kNoCutter;
    auto meet = [&](double a, double b) {
      from = std::max(from, std::min(a, b));
      to = std::min(to, std::max(a, b));
    };
    if (dy_ != 0) {
      meet((dx_ * wy - reach) / dy_, (dx_ * wy + reach) / dy_);
    } else if (std::abs(wy) > r) {
      from = kNoCutter;
    }
    if (dx_ != 0) {
      meet(-dy_ * wy / dx_, (planar2_ - dy_ * wy) / dx_);
    } else if (dy_ * wy < 0 || dy_ * wy > planar2_) {
      from = kNoCutter;
    }
    unite(a_.x + from, a_.x + to);
  }
  return {lo - kHair, hi + kHair};
}

double SweptCutter::lowestAt(double x, double y) const {
  return cutter_.shape == ToolShape::Flat ? flatLowest(x, y) : ballLowest(x, y);
}

// The flat end's bottom disc is level at the tip's Z. The part of the move
// during which (x, y) lies under the disc is one interval of the move's
// parameter (the planar distance squared is a convex quadratic), and the
// tip's Z is linear in it: the lowest point is at one end of the interval.
double SweptCutter::flatLowest(double x, double y) const {
  const double wx = x - a_.x, wy = y - a_.y;
  const double c = wx * wx + wy * wy - r2_;
  if (planar2_ == 0) return c <= 0 ? std::min(a_.z, b_.z) : kNoCutter;
  // planar2 t² - 2 (w·d) t + c <= 0 between its roots; the interval meets
  // [0, 1] unless both roots lie on one side of it.
  const double half = wx * dx_ + wy * dy_;
  const double disc = half * half - planar2_ * c;
  if (disc < 0) return kNoCutter;
  const double root = std::sqrt(disc);
  if (half + root < 0 || half - root > planar2_) return kNoCutter;
  // The tip's Z falls (or rises) along the move: the lowest is at the
  // interval's later (earlier) end.
  if (dz_ < 0) return a_.z + std::min(1.0, (half + root) / planar2_) * dz_;
  return a_.z + std::max(0.0, (half - root) / planar2_) * dz_;
}

// The ball's centre runs R above the tip, so the swept ball is a capsule
// around the centre's segment. Its lowest point above (x, y) is where the
// vertical line through (x, y) enters the infinite cylinder around the
// axis, when that point's foot on the axis lies within the segment: every
// point below it lies outside the cylinder and so outside every ball on the
// axis. Otherwise it is on one of the two end spheres.
double SweptCutter::ballLowest(double x, double y) const {
  const double r = cutter_.radius;
  const double a = 1 - uz_ * uz_;  // zero for a vertical move or none: the spheres suffice
  if (length_ > 0 && a >= 1e-12) {
    // Points (x, y, cz + s) with cz the centre's Z at the start: distance²
    // to the axis = |w|² - (w·u)² = r², a quadratic in s.
    const double wx = x - a_.x, wy = y - a_.y;
    const double wu = wx * ux_ + wy * uy_;
    const double c = wx * wx + wy * wy - wu * wu - r * r;
    const double half = -uz_ * wu;  // b / 2
    const double disc = half * half - a * c;
    if (disc >= 0) {
      const double s = (-half - std::sqrt(disc)) / a;
      const double foot = wu + s * uz_;
      if (foot >= 0 && foot <= length_) return a_.z + r + s;
    }
  }
  double lowest = kNoCutter;
  for (const Point3& p : {a_, b_}) {
    const double d2 = (x - p.x) * (x - p.x) + (y - p.y) * (y - p.y);
    if (d2 <= r * r) lowest = std::min(lowest, p.z + r - std::sqrt(r * r - d2));
  }
  return lowest;
}

}  // namespace ventaro
