#include "aero/polar.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>

namespace ventaro {

namespace {

constexpr double kDeg = std::numbers::pi / 180;

// The numbers of one line, read with from_chars; stops at the first word
// that is no number.
std::vector<double> numbersOf(std::string_view line) {
  std::vector<double> out;
  std::size_t at = 0;
  while (true) {
    at = line.find_first_not_of(" \t\r", at);
    if (at == std::string_view::npos) break;
    double v = 0;
    const auto [end, ec] = std::from_chars(line.data() + at, line.data() + line.size(), v);
    if (ec != std::errc() || (end != line.data() + line.size() && *end != ' ' && *end != '\t' && *end != '\r')) break;
    out.push_back(v);
    at = static_cast<std::size_t>(end - line.data());
  }
  return out;
}

}  // namespace

Polar readXfoilPolar(std::string_view text, std::string_view name) {
  const auto fail = [&](const std::string& why) {
    return PolarError("cannot read the polar \u201c" + std::string(name) + "\u201d: " + why);
  };
  Polar polar;
  bool table = false, haveRe = false;
  std::size_t lineNo = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    ++lineNo;
    if (!table) {
      // " Mach =   0.000     Re =     0.300 e 6     Ncrit =   9.000"
      if (const std::size_t re = line.find("Re ="); re != std::string_view::npos) {
        const std::vector<double> n = numbersOf(line.substr(re + 4));
        std::string_view rest = line.substr(re + 4);
        const std::size_t e = rest.find(" e ");
        double exponent = 0;
        if (e != std::string_view::npos) {
          const std::vector<double> x = numbersOf(rest.substr(e + 3));
          if (!x.empty()) exponent = x.front();
        }
        if (n.empty()) throw fail("line " + std::to_string(lineNo) + " gives no Reynolds number");
        polar.reynolds = n.front() * std::pow(10.0, exponent);
        haveRe = true;
      }
      if (line.find("------") != std::string_view::npos) table = true;
      continue;
    }
    const std::vector<double> n = numbersOf(line);
    if (n.empty()) continue;
    if (n.size() < 3) throw fail("line " + std::to_string(lineNo) + " holds fewer than alpha, CL and CD");
    if (!polar.alpha.empty() && !(n[0] > polar.alpha.back())) {
      throw fail("line " + std::to_string(lineNo) + ": the angles must rise from line to line");
    }
    if (!std::isfinite(n[1]) || !(n[2] > 0) || !std::isfinite(n[2])) {
      throw fail("line " + std::to_string(lineNo) + " holds no usable CL and CD");
    }
    polar.alpha.push_back(n[0]);
    polar.cl.push_back(n[1]);
    polar.cd.push_back(n[2]);
  }
  if (!haveRe || !(polar.reynolds > 0)) throw fail("it gives no Reynolds number (\u201cRe =\u201d)");
  if (polar.alpha.size() < 3) throw fail("it holds fewer than three points");
  return polar;
}

ExtendedPolar::ExtendedPolar(const Polar& p) : reynolds_(p.reynolds) {
  // The last point of greatest lift, and the polar's first point: the
  // extension goes on from the two ends of the part it trusts.
  const std::size_t top = static_cast<std::size_t>(std::max_element(p.cl.begin(), p.cl.end()) - p.cl.begin());
  const double as = p.alpha[top] * kDeg, cls = p.cl[top], cds = p.cd[top];
  stall_ = p.alpha[top];
  // Viterna and Corrigan: from the stall angle to 90°,
  // CL = A1 sin 2a + A2 cos²a / sin a, CD = B1 sin²a + B2 cos a, with
  // B1 = CDmax, A1 = B1 / 2 and A2, B2 chosen to meet the stall point.
  const double b1 = kFlatPlateDrag, a1 = b1 / 2;
  const double s = std::sin(as), c = std::cos(as);
  const double a2 = (cls - b1 * s * c) * s / (c * c), b2 = (cds - b1 * s * s) / c;
  // The model at angles a from the stall angle to 90° (radians).
  const auto viterna = [&](double a) -> Coefficients {
    a = std::clamp(a, as, std::numbers::pi / 2);
    const double sa = std::sin(a), ca = std::cos(a);
    return {a1 * std::sin(2 * a) + a2 * ca * ca / sa, b1 * sa * sa + b2 * ca};
  };
  // Past 90° the plate's lift, reversed, falls to 0.7 of it, the wake of a
  // thick trailing edge turned into the wind; within the stall angle of
  // ±180° it goes straight to nothing.
  constexpr double kBack = 0.7;
  const auto model = [&](double deg) -> Coefficients {
    const double a = deg * kDeg, pi = std::numbers::pi;
    if (a >= 0) {
      if (a <= pi / 2) return viterna(a);
      if (a <= pi - as) {
        const Coefficients v = viterna(pi - a);
        return {-kBack * v.cl, v.cd};
      }
      return {kBack * cls * (a - pi) / as, cds};
    }
    if (a >= -pi / 2) {
      const Coefficients v = viterna(-a);
      return {-kBack * v.cl, v.cd};
    }
    if (a >= -pi + as) {
      const Coefficients v = viterna(pi + a);
      return {kBack * v.cl, v.cd};
    }
    return {kBack * cls * (a + pi) / as, cds};
  };
  // Below the polar's first point the model takes over over 10°, blended
  // in straight from that point; above the stall angle it takes over at
  // once (the points past it are left to the model).
  const double first = p.alpha.front();
  const double blendTo = std::max(-180.0, first - 10);
  const Coefficients fromModel = model(blendTo);
  for (double deg = -180; deg < blendTo; deg += 1) {
    const Coefficients m = model(deg);
    alpha_.push_back(deg), cl_.push_back(m.cl), cd_.push_back(m.cd);
  }
  for (double deg = blendTo; deg < first; deg += 1) {
    const double t = (deg - blendTo) / (first - blendTo);
    alpha_.push_back(deg);
    cl_.push_back(fromModel.cl + t * (p.cl.front() - fromModel.cl));
    cd_.push_back(fromModel.cd + t * (p.cd.front() - fromModel.cd));
  }
  for (std::size_t k = 0; k <= top; ++k) alpha_.push_back(p.alpha[k]), cl_.push_back(p.cl[k]), cd_.push_back(p.cd[k]);
  for (double deg = std::floor(stall_) + 1; deg <= 180; deg += 1) {
    const Coefficients m = model(deg);
    alpha_.push_back(deg), cl_.push_back(m.cl), cd_.push_back(m.cd);
  }
}

Coefficients ExtendedPolar::at(double deg) const {
  // Angles wrap around the full turn.
  deg = std::remainder(deg, 360.0);
  const auto hi = std::upper_bound(alpha_.begin(), alpha_.end(), deg);
  if (hi == alpha_.begin()) return {cl_.front(), cd_.front()};
  if (hi == alpha_.end()) return {cl_.back(), cd_.back()};
  const std::size_t k = static_cast<std::size_t>(hi - alpha_.begin());
  const double t = (deg - alpha_[k - 1]) / (alpha_[k] - alpha_[k - 1]);
  return {cl_[k - 1] + t * (cl_[k] - cl_[k - 1]), cd_[k - 1] + t * (cd_[k] - cd_[k - 1])};
}

PolarSet::PolarSet(const std::vector<Polar>& polars) {
  if (polars.empty()) throw PolarError("no polar is given");
  for (const Polar& p : polars) polars_.emplace_back(p);
  std::sort(polars_.begin(), polars_.end(),
            [](const ExtendedPolar& a, const ExtendedPolar& b) { return a.reynolds() < b.reynolds(); });
  for (std::size_t k = 1; k < polars_.size(); ++k) {
    if (polars_[k].reynolds() == polars_[k - 1].reynolds()) {
      throw PolarError("two polars are given for the same Reynolds number");
    }
  }
}

Coefficients PolarSet::at(double deg, double reynolds) const {
  if (polars_.size() == 1 || !(reynolds > polars_.front().reynolds())) return polars_.front().at(deg);
  if (reynolds >= polars_.back().reynolds()) return polars_.back().at(deg);
  const auto hi = std::upper_bound(polars_.begin(), polars_.end(), reynolds,
                                   [](double re, const ExtendedPolar& p) { return re < p.reynolds(); });
  const ExtendedPolar& b = *hi;
  const ExtendedPolar& a = *(hi - 1);
  const double t = std::log(reynolds / a.reynolds()) / std::log(b.reynolds() / a.reynolds());
  const Coefficients ca = a.at(deg), cb = b.at(deg);
  return {ca.cl + t * (cb.cl - ca.cl), ca.cd + t * (cb.cd - ca.cd)};
}

}  // namespace ventaro
