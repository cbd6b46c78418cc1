#include "machining/line_profile.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ventaro {

namespace {

constexpr int kMaxHalvings = 12;  // down to step / 4096

void refineBetween(const ProfileSample& a, const ProfileSample& b, double refine, int depth,
                   const std::function<double(double)>& height, std::vector<ProfileSample>& out) {
  if (depth >= kMaxHalvings) return;
  const ProfileSample mid{(a.s + b.s) / 2, height((a.s + b.s) / 2)};
  if (std::abs(mid.z - (a.z + b.z) / 2) <= refine) return;
  refineBetween(a, mid, refine, depth + 1, height, out);
  out.push_back(mid);
  refineBetween(mid, b, refine, depth + 1, height, out);
}

}  // namespace

std::vector<ProfileSample> sampleProfile(double length, double step, double refine,
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
      refineBetween(prev, next, refine, 0, height, out);
      out.push_back(next);
    }
  }
  return out;
}

}  // namespace ventaro
