#include "toolpath/line_profile.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ventaro {

namespace {

constexpr int kMaxHalvings = 12;  // down to step / 4096

struct Refiner {
  double refine, rise;
  const std::function<double(double)>& height;
  std::vector<ProfileSample>& out;
};

// How far a sample lies from the straight line between a and b.
double offLine(const ProfileSample& a, const ProfileSample& b, const ProfileSample& p) {
  return std::abs(p.z - (a.z + (b.z - a.z) * ((p.s - a.s) / (b.s - a.s))));
}

// Adds the samples strictly between a and b that the span needs; `mid` is
// the height at its middle, already known.
void refineBetween(const Refiner& r, const ProfileSample& a, const ProfileSample& b, const ProfileSample& mid,
                   int depth) {
  if (depth >= kMaxHalvings) return;
  const bool bent = offLine(a, b, mid) > r.refine;
  if (!bent && std::abs(b.z - a.z) <= r.rise) return;
  const ProfileSample q1{(a.s + mid.s) / 2, r.height((a.s + mid.s) / 2)};
  const ProfileSample q3{(mid.s + b.s) / 2, r.height((mid.s + b.s) / 2)};
  refineBetween(r, a, mid, q1, depth + 1);
  r.out.push_back(mid);
  refineBetween(r, mid, b, q3, depth + 1);
}

}  // namespace

std::vector<ProfileSample> sampleProfile(double length, double step, double refine, double rise,
                                         const std::function<double(double)>& height,
                                         const std::vector<double>& breaks) {
  // The spans between the breaks (and the ends), each cut into equal steps.
  std::vector<double> marks{0};
  for (double b : breaks) {
    if (b > marks.back() && b < length) marks.push_back(b);
  }
  if (length > 0) marks.push_back(length);

  std::vector<ProfileSample> out;
  out.reserve(static_cast<std::size_t>(length / step) + marks.size() + 1);
  out.push_back({0, height(0)});
  for (std::size_t m = 1; m < marks.size(); ++m) {
    const double from = marks[m - 1], span = marks[m] - from;
    const int n = std::max(1, static_cast<int>(std::ceil(span / step)));
    for (int i = 1; i <= n; ++i) {
      const double s = i == n ? marks[m] : from + span * i / n;
      const ProfileSample next{s, height(s)};
      const ProfileSample prev = out.back();
      const double middle = (prev.s + next.s) / 2;
      refineBetween(Refiner{refine, rise, height, out}, prev, next, {middle, height(middle)}, 0);
      out.push_back(next);
    }
  }
  return out;
}

}  // namespace ventaro
