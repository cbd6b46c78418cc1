// An airfoil's polars: lift and drag coefficients against the angle of
// attack, each measured (or computed by XFOIL) at one Reynolds number.
//
// A rotor's sections meet every angle: a blade standing still in the wind
// sees close to 90°, and an overloaded one stalls. Measured polars end a few
// degrees past the angle of greatest lift, so each is extended to ±180° by
// Viterna and Corrigan's flat-plate model, fitted to the polar's last point
// of greatest lift. Between Reynolds numbers the coefficients are
// interpolated linearly in log Re, and held at the nearest polar outside
// the range the polars cover.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ventaro {

class PolarError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Polar {
  double reynolds = 0;
  std::vector<double> alpha;  // degrees, ascending
  std::vector<double> cl, cd;
};

// Reads a polar file as XFOIL's PACC command writes it: the Reynolds number
// from its "Re =" line, then one row per converged point (alpha, CL, CD,
// ...) below the dashed line. Raises PolarError, naming `name`, for a file
// that holds no such polar.
Polar readXfoilPolar(std::string_view text, std::string_view name);

struct Coefficients {
  double cl = 0, cd = 0;
};

// The maximum drag of a flat plate of aspect ratio 7 across the flow, the
// value the extension reaches at 90°.
inline constexpr double kFlatPlateDrag = 1.11 + 0.018 * 7;

// A polar extended to ±180°.
class ExtendedPolar {
 public:
  explicit ExtendedPolar(const Polar& polar);
  double reynolds() const { return reynolds_; }
  Coefficients at(double alphaDegrees) const;
  double stallAlpha() const { return stall_; }  // the angle of greatest lift, degrees

 private:
  double reynolds_;
  double stall_;
  std::vector<double> alpha_, cl_, cd_;  // every degree outside the polar, the polar's own points inside
};

class PolarSet {
 public:
  // Raises PolarError for no polars, or two at the same Reynolds number.
  explicit PolarSet(const std::vector<Polar>& polars);
  Coefficients at(double alphaDegrees, double reynolds) const;
  const std::vector<ExtendedPolar>& polars() const { return polars_; }  // by Reynolds number

 private:
  std::vector<ExtendedPolar> polars_;
};

}  // namespace ventaro
