// Heights along a straight line, as a tool path needs them: sampled finely
// where the height bends, and then thinned to the few points that straight
// moves between them follow within a tolerance.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <functional>
#include <limits>
#include <vector>

namespace ventaro {

struct ProfileSample {
  double s = 0;  // distance along the line from its start, millimetres
  double z = 0;  // height there
};

// Samples `height` along [0, length], no more than `step` apart, with every
// distance of `breaks` (ascending, within the line) among the samples.
// Where the height at the middle of two neighbours departs from the straight
// line between them by more than `refine`, or the two differ in height by
// more than `rise`, the middle is added and both halves are looked at again,
// down to a 4096th of the step. A tool's height can turn sharply where one
// contact gives way to another, most of all where it climbs steeply, and
// the middle alone may not show it there: steep spans are cut finer.
std::vector<ProfileSample> sampleProfile(double length, double step, double refine, double rise,
                                         const std::function<double(double)>& height,
                                         const std::vector<double>& breaks = {});

// The samples to keep, first and last included, so that the straight line
// between two kept neighbours passes within `tol` (in height) of every
// sample between them. Reads the heights through `z(i)`.
template <typename Height>
std::vector<std::size_t> thinProfile(const std::vector<ProfileSample>& samples, std::size_t first, std::size_t last,
                                     double tol, Height&& z) {
  // Walks in either direction; the window of slopes from the anchor that
  // pass within tol of every sample since it narrows with each sample, and
  // a sample whose own slope falls outside it cannot end the move.
  std::vector<std::size_t> keep{first};
  if (first == last) return keep;
  const bool up = last > first;
  constexpr double kInf = std::numeric_limits<double>::infinity();
  std::size_t anchor = first;
  double lo = -kInf, hi = kInf;
  for (std::size_t k = up ? first + 1 : first - 1;; k = up ? k + 1 : k - 1) {
    double d = std::abs(samples[k].s - samples[anchor].s);
    const double slope = d > 0 ? (z(k) - z(anchor)) / d : 0;
    if (slope < lo || slope > hi) {
      anchor = up ? k - 1 : k + 1;
      keep.push_back(anchor);
      lo = -kInf;
      hi = kInf;
      d = std::abs(samples[k].s - samples[anchor].s);
    }
    if (d > 0) {
      lo = std::max(lo, (z(k) - tol - z(anchor)) / d);
      hi = std::min(hi, (z(k) + tol - z(anchor)) / d);
    }
    if (k == last) break;
  }
  keep.push_back(last);
  return keep;
}

}  // namespace ventaro
