#include "blade/airfoil.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>
#include <optional>

namespace ventaro {

namespace {

// Two numbers at the start of a line; none for any other line.
std::optional<std::pair<double, double>> pairOf(std::string_view line) {
  double v[2];
  std::size_t at = 0;
  for (double& out : v) {
    at = line.find_first_not_of(" \t\r", at);
    if (at == std::string_view::npos) return std::nullopt;
    const auto [end, ec] = std::from_chars(line.data() + at, line.data() + line.size(), out);
    if (ec != std::errc() || !std::isfinite(out)) return std::nullopt;
    at = static_cast<std::size_t>(end - line.data());
  }
  if (line.find_first_not_of(" \t\r", at) != std::string_view::npos) return std::nullopt;
  return std::pair{v[0], v[1]};
}

// A surface in percent, leading edge first, rising along the chord.
std::vector<std::pair<double, double>> percent(std::vector<std::pair<double, double>> pts, bool reversed) {
  if (reversed) std::reverse(pts.begin(), pts.end());
  for (auto& [x, y] : pts) x *= 100, y *= 100;
  return pts;
}

}  // namespace

double Airfoil::heightAt(const std::vector<std::pair<double, double>>& s, double x) {
  if (s.empty()) return 0;
  if (x <= s.front().first) return s.front().second;
  for (std::size_t k = 1; k < s.size(); ++k) {
    if (x <= s[k].first) {
      const auto [x0, y0] = s[k - 1];
      const auto [x1, y1] = s[k];
      return x1 > x0 ? y0 + (y1 - y0) * (x - x0) / (x1 - x0) : y1;
    }
  }
  return s.back().second;
}

Airfoil nacaFourDigit(std::string_view digits) {
  if (digits.size() != 4 || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    throw AirfoilError("a NACA four-digit airfoil needs four digits, e.g. 4412, not \u201c" + std::string(digits) +
                       "\u201d");
  }
  const double m = (digits[0] - '0') / 100.0, p = (digits[1] - '0') / 10.0;
  const double t = ((digits[2] - '0') * 10 + (digits[3] - '0')) / 100.0;
  if (!(t > 0) || (m > 0 && !(p > 0))) {
    throw AirfoilError("NACA " + std::string(digits) + " has no thickness or no place for its camber");
  }
  Airfoil a;
  a.name = "NACA " + std::string(digits);
  // Points crowded at both edges (cosine spacing), where the surface bends most.
  constexpr int kPoints = 61;
  for (int i = 0; i < kPoints; ++i) {
    const double x = (1 - std::cos(std::numbers::pi * i / (kPoints - 1))) / 2;
    const double yt =
        5 * t * (0.2969 * std::sqrt(x) - 0.1260 * x - 0.3516 * x * x + 0.2843 * x * x * x - 0.1015 * x * x * x * x);
    double yc = 0, slope = 0;
    if (m > 0) {
      if (x < p) {
        yc = m / (p * p) * (2 * p * x - x * x);
        slope = 2 * m / (p * p) * (p - x);
      } else {
        yc = m / ((1 - p) * (1 - p)) * (1 - 2 * p + 2 * p * x - x * x);
        slope = 2 * m / ((1 - p) * (1 - p)) * (p - x);
      }
    }
    const double theta = std::atan(slope);
    a.upper.emplace_back(100 * (x - yt * std::sin(theta)), 100 * (yc + yt * std::cos(theta)));
    a.lower.emplace_back(100 * (x + yt * std::sin(theta)), 100 * (yc - yt * std::cos(theta)));
  }
  return a;
}

Airfoil readAirfoilDat(std::string_view text, std::string_view name) {
  const auto fail = [&](const std::string& why) {
    return AirfoilError("cannot read the airfoil \u201c" + std::string(name) + "\u201d: " + why);
  };
  std::vector<std::pair<double, double>> pts;
  std::string title;
  bool first = true;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    const auto p = pairOf(line);
    if (!p) {
      if (first && line.find_first_not_of(" \t\r") != std::string_view::npos) title = std::string(line);
      first = false;
      continue;
    }
    first = false;
    pts.push_back(*p);
  }
  Airfoil a;
  a.name = title.empty() ? std::string(name) : title;
  if (pts.size() >= 3 && pts[0].first > 1.5 && pts[0].second > 1.5) {
    // Lednicer: the counts of the upper and the lower points, then each
    // surface from the leading edge, in fractions of the chord.
    const double total = static_cast<double>(pts.size());
    if (!(pts[0].first < total && pts[0].second < total)) {
      throw fail("its counts of points do not match the points given");
    }
    const auto nu = static_cast<std::size_t>(pts[0].first), nl = static_cast<std::size_t>(pts[0].second);
    if (pts.size() != 1 + nu + nl) throw fail("its counts of points do not match the points given");
    a.upper = percent({pts.begin() + 1, pts.begin() + 1 + static_cast<std::ptrdiff_t>(nu)}, false);
    a.lower = percent({pts.begin() + 1 + static_cast<std::ptrdiff_t>(nu), pts.end()}, false);
  } else {
    // Selig: from the trailing edge over the upper surface to the leading
    // edge (the point of least x) and back under the lower surface.
    if (pts.size() < 5) throw fail("it holds fewer than five points");
    const auto lead = static_cast<std::size_t>(
        std::min_element(pts.begin(), pts.end(), [](const auto& a, const auto& b) { return a.first < b.first; }) -
        pts.begin());
    a.upper = percent({pts.begin(), pts.begin() + static_cast<std::ptrdiff_t>(lead) + 1}, true);
    a.lower = percent({pts.begin() + static_cast<std::ptrdiff_t>(lead), pts.end()}, false);
  }
  for (const auto* s : {&a.upper, &a.lower}) {
    if (s->size() < 2) throw fail("a surface has fewer than two points");
    for (std::size_t k = 1; k < s->size(); ++k) {
      if (!((*s)[k].first >= (*s)[k - 1].first)) throw fail("a surface turns back along the chord");
    }
    if (s->front().first < -0.5 || s->back().first > 100.5 || s->back().first < 99.5) {
      throw fail("its points do not run from the leading edge (0) to the trailing edge (1)");
    }
  }
  return a;
}

}  // namespace ventaro
