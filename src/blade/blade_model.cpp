#include "blade/blade_model.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "blade/shop_block.h"
#include "core/blade_stations.h"

namespace ventaro {

namespace {

// NACA 4412's lower surface at the table's chordwise stations, percent of
// chord (Abbott and von Doenhoff).
constexpr std::array<double, SectionTable::kUpper> kLowerY{0,     -1.43, -1.95, -2.49, -2.74, -2.86,
                                                           -2.88, -2.74, -2.50, -2.26, -1.80, -1.40,
                                                           -1.00, -0.65, -0.39, -0.22, -0.16, -0.13};

}  // namespace

BladeModel::BladeModel(const BladeParameters& p, const SectionTable& table, const DesignSettings& design,
                       std::optional<double> lift, const Airfoil* airfoil)
    : tsr_(p.TSR.value()),
      diameter_(p.D.value()),
      blades_(p.B.value()),
      alpha_(p.AT.value() / kDegreesPerRadian),
      lift_(lift ? *lift : p.Cl.value()),
      width_(p.Max.value()),
      design_(design),
      hubX_(static_cast<double>(p.HubRad) * 1000.0),
      tipX_(p.D.value() * 500.0) {
  if (!(tipX_ > hubX_) || !std::isfinite(tipX_)) {
    throw ShopError("the blade is empty: the tip must lie beyond the hub");
  }
  for (int j = SectionTable::kLower; j <= SectionTable::kUpper; ++j) {
    px_[static_cast<std::size_t>(j - 1)] = table.ProfileX(j);
    py_[static_cast<std::size_t>(j - 1)] = table.ProfileY(j);
  }
  lowerY_ = kLowerY;
  if (airfoil != nullptr) {
    for (std::size_t j = 0; j < px_.size(); ++j) {
      py_[j] = Airfoil::heightAt(airfoil->upper, px_[j]);
      lowerY_[j] = Airfoil::heightAt(airfoil->lower, px_[j]);
    }
  }
  if (design_.straight) {
    const auto [f1, f2] = *design_.straight;
    if (!(f1 >= 0 && f2 <= 1 && f1 < f2)) {
      throw ShopError("the straight chord and twist need two fractions of the tip radius, the first below the second");
    }
    straightR1_ = f1 * tipX_ / 1000.0;
    straightR2_ = f2 * tipX_ / 1000.0;
    straight1_ = methodAt(std::max(straightR1_, 1e-7));
    straight2_ = methodAt(straightR2_);
  }
  if (design_.chordCap && !(*design_.chordCap > 0)) throw ShopError("the chord cap must be a positive width");
  if (design_.blankThickness && !(*design_.blankThickness > 0 && std::isfinite(*design_.blankThickness))) {
    throw ShopError("the blank thickness must be a positive length");
  }
  if (design_.rootBlock) {
    const auto [length, transition] = *design_.rootBlock;
    if (!(length >= 0 && transition > 0 && length + transition < tipX_ - hubX_)) {
      throw ShopError(
          "the root block and its transition must be lengths, the transition longer than 0, that end "
          "short of the tip");
    }
  }
  for (double x : {hubX_, tipX_}) {
    for (const SectionPoint& pt : section(x)) {
      if (!std::isfinite(pt.y) || !std::isfinite(pt.z)) {
        throw ShopError("the rotor's fields give no blade of finite shape to mill");
      }
    }
  }
}

std::pair<double, double> BladeModel::methodAt(double r) const {
  if (design_.method == DesignMethod::Schmitz) {
    // Schmitz: the optimum with wake rotation, inflow 2/3 atan(R / (λ r))
    // and chord 16 π r / (B CL) sin²(φ / 2).
    const double phi = 2.0 / 3.0 * std::atan(diameter_ / 2 / (tsr_ * r));
    const double half = std::sin(phi / 2);
    return {16 * std::numbers::pi * r / (blades_ * lift_) * half * half, phi};
  }
  const double phi = std::atan(diameter_ / 3.0 / tsr_ / r);
  const double cosPhi = std::cos(phi);
  return {1.4 * diameter_ * diameter_ / r * (cosPhi * cosPhi) / (tsr_ * tsr_) / blades_ / lift_, phi};
}

std::pair<double, double> BladeModel::acrossAt(double twist) const {
  const double s = std::sin(twist), c = std::cos(twist);
  double lo = 0, hi = 0;
  for (std::size_t j = 0; j < px_.size(); ++j) {
    for (const double y : {py_[j], lowerY_[j]}) {
      lo = std::min(lo, px_[j] * c - y * s);
      hi = std::max(hi, px_[j] * c - y * s);
    }
  }
  return {lo, hi};
}

std::pair<double, double> BladeModel::upAt(double twist) const {
  const double s = std::sin(twist), c = std::cos(twist);
  double lo = 0, hi = 0;
  for (std::size_t j = 0; j < px_.size(); ++j) {
    for (const double y : {py_[j], lowerY_[j]}) {
      lo = std::min(lo, y * c + px_[j] * s);
      hi = std::max(hi, y * c + px_[j] * s);
    }
  }
  return {lo, hi};
}

BladeModel::Geometry BladeModel::geometryAt(double x) const {
  // The radius in metres, kept off the axis as the stations are.
  const double r = std::max(std::clamp(x, hubX_, tipX_) / 1000.0, 1e-7);
  if (!design_.any()) {
    const double phi = std::atan(diameter_ / 3.0 / tsr_ / r);
    const double cosPhi = std::cos(phi);
    // Millimetres per percent of chord: ten times the chord in metres.
    const double scale = 1.4 * diameter_ * diameter_ / r * (cosPhi * cosPhi) / (tsr_ * tsr_) / blades_ / lift_ / 0.1;
    return {r, phi, scale, phi - alpha_};
  }
  auto [chord, phi] = methodAt(r);
  if (design_.straight) {
    // Straight through the method's values at the two radii, and on
    // beyond them to the hub and the tip.
    const double t = (r - straightR1_) / (straightR2_ - straightR1_);
    chord = straight1_.first + t * (straight2_.first - straight1_.first);
    phi = straight1_.second + t * (straight2_.second - straight1_.second);
  }
  // The chord a section twisted by `twist` may have: no wider than the cap,
  // nor than the stock once twisted.
  const auto cappedAt = [&](double twist) {
    if (!design_.chordCap) return chord;
    const auto [lo, hi] = acrossAt(twist);
    return std::min({chord, *design_.chordCap / 1000.0, hi > lo ? width_ * 100.0 / (hi - lo) : chord});
  };
  double twist = phi - alpha_;
  if (design_.blankThickness) {
    // Twisted less where the section would not fit the plank's thickness:
    // the most twist that fits, found by halving (the height a section
    // stands grows with its twist either way from flat); and where even a
    // flat one is too tall, a narrower chord.
    const double thickness = *design_.blankThickness;
    const auto tallAt = [&](double tw) {
      const auto [lo, hi] = upAt(tw);
      return cappedAt(tw) * 10.0 * (hi - lo);
    };
    if (tallAt(twist) > thickness) {
      if (tallAt(0) > thickness) {
        const auto [lo, hi] = upAt(0);
        chord = std::min(cappedAt(0), thickness / (10.0 * (hi - lo)));
        return {r, phi, chord * 10.0, 0};
      }
      double fits = 0, tooMuch = 1;
      for (int k = 0; k < 60; ++k) {
        const double mid = (fits + tooMuch) / 2;
        (tallAt(mid * twist) <= thickness ? fits : tooMuch) = mid;
      }
      twist *= fits;
    }
  }
  return {r, phi, cappedAt(twist) * 10.0, twist};
}

BladeModel::Planform BladeModel::planformAt(double x) const {
  const Geometry g = geometryAt(x);
  return {g.scale / 10.0, g.phi, g.twist};
}

Section BladeModel::placed(double x, const std::array<double, SectionTable::kUpper>& ys, bool upper) const {
  const auto [r, phi, scale, twist] = geometryAt(x);
  const double s = std::sin(twist), c = std::cos(twist);
  double offsetY = 0, offsetZ = 0;
  if (design_.blankThickness) {
    // In a plank, each section stands in the middle of its width and of
    // its thickness.
    const auto [lo, hi] = acrossAt(twist);
    const auto [down, up] = upAt(twist);
    offsetY = (width_ * 1000.0 - (lo + hi) * scale) / 2.0;
    offsetZ = (*design_.blankThickness - (down + up) * scale) / 2.0;
  } else {
    // The stock width beside the chord, split evenly to both sides of it.
    double spare = (width_ - scale / 10.0) / 2.0;
    if (design_.chordCap && c > 0) {
      // A capped section is moved along its chord line until what it spans
      // across the stock stands in the middle of it.
      const auto [lo, hi] = acrossAt(twist);
      spare = ((width_ * 1000.0 - (hi - lo) * scale) / 2.0 - lo * scale) / c / 1000.0;
    }
    offsetY = c * spare * 1000.0;
    offsetZ = s * spare * 1000.0;
  }
  Section out;
  for (std::size_t j = 0; j < out.size(); ++j) {
    out[j].y = (px_[j] * c - ys[j] * s) * scale + offsetY;
    out[j].z = (ys[j] * c + px_[j] * s) * scale + offsetZ;
  }
  if (!design_.rootBlock) return out;
  const auto [blockLength, transition] = *design_.rootBlock;
  const double from = hubX_ + blockLength;
  if (x >= from + transition) return out;
  // The root block: the stock's width, and the plank's thickness or the
  // height the airfoil stands where the transition ends. Its faces carry
  // the airfoil's points at their share of the chord, the leading edge's
  // at mid-height, so the block's edges there are chamfered by the first
  // share (1.25 % of the width).
  double bottom = 0, top = 0;
  if (design_.blankThickness) {
    top = *design_.blankThickness;
  } else {
    const Section u = placed(from + transition, py_, true), l = placed(from + transition, lowerY_, false);
    bottom = top = u.front().z;
    for (std::size_t j = 0; j < u.size(); ++j) {
      top = std::max({top, u[j].z, l[j].z});
      bottom = std::min({bottom, u[j].z, l[j].z});
    }
  }
  // Smoothly (no kink at either end) from the block to the airfoil.
  const double t = transition > 0 ? std::clamp((x - from) / transition, 0.0, 1.0) : 0.0;
  const double w = t * t * (3 - 2 * t);
  for (std::size_t j = 0; j < out.size(); ++j) {
    const double y = width_ * 10.0 * px_[j];
    const double z = j == 0 ? (bottom + top) / 2 : (upper ? top : bottom);
    out[j].y = y + w * (out[j].y - y);
    out[j].z = z + w * (out[j].z - z);
  }
  return out;
}

Section BladeModel::section(double x) const { return placed(x, py_, true); }

Section BladeModel::lowerSection(double x) const { return placed(x, lowerY_, false); }

double BladeModel::airfoilFrom() const {
  return design_.rootBlock ? std::min(tipX_, hubX_ + design_.rootBlock->first + design_.rootBlock->second) : hubX_;
}

BladeModel::Profile BladeModel::upperProfile() const {
  Profile out;
  for (std::size_t j = 0; j < out.size(); ++j) out[j] = {px_[j], py_[j]};
  return out;
}

BladeModel::Profile BladeModel::lowerProfile() const {
  Profile out;
  for (std::size_t j = 0; j < out.size(); ++j) out[j] = {px_[j], lowerY_[j]};
  return out;
}

BladeFit bladeFit(const BladeModel& blade, double step) {
  BladeFit fit;
  fit.lowest = std::numeric_limits<double>::infinity();
  fit.highest = -fit.lowest;
  const double width = blade.stockWidth();
  const int count = std::max(1, static_cast<int>(std::ceil((blade.tipX() - blade.hubX()) / step)));
  for (int i = 0; i <= count; ++i) {
    const double x = i == count ? blade.tipX() : blade.hubX() + step * i;
    double off = 0;
    for (const Section& s : {blade.section(x), blade.lowerSection(x)}) {
      for (const SectionPoint& p : s) {
        off = std::max({off, -p.y, p.y - width});
        fit.lowest = std::min(fit.lowest, p.z);
        fit.highest = std::max(fit.highest, p.z);
      }
    }
    // A hair past the side is the arithmetic of placing it there.
    if (off > 1e-6) {
      if (fit.offStock == 0) fit.offFrom = x;
      fit.offTo = x;
      fit.offStock = std::max(fit.offStock, off);
    }
  }
  return fit;
}

double sectionHeight(const Section& sec, double y) { return profileHeight(sec, y); }

double profileHeight(std::span<const SectionPoint> sec, double y) {
  const SectionPoint& lead = sec.front();
  const SectionPoint& trail = sec.back();
  // Normally the leading edge lies at the smaller Y.
  const bool leadLow = lead.y <= trail.y;
  double best = -std::numeric_limits<double>::infinity();
  if (leadLow ? y <= lead.y : y >= lead.y) best = lead.z;
  if (leadLow ? y >= trail.y : y <= trail.y) best = std::max(best, trail.z);
  for (std::size_t j = 0; j + 1 < sec.size(); ++j) {
    const SectionPoint& a = sec[j];
    const SectionPoint& b = sec[j + 1];
    const double lo = std::min(a.y, b.y), hi = std::max(a.y, b.y);
    if (y < lo || y > hi) continue;
    const double z = hi == lo ? std::max(a.z, b.z) : a.z + (b.z - a.z) * (y - a.y) / (b.y - a.y);
    best = std::max(best, z);
  }
  return best;
}

}  // namespace ventaro
