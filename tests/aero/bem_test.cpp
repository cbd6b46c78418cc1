#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "aero/bem.h"

namespace ventaro {
namespace {

constexpr double kPi = std::numbers::pi;

// Glauert's optimum rotor, worked out from its closed form and not by BEM:
// with no drag and no tip loss, each annulus at local speed ratio x has
// x² = (1 - a)(4a - 1)² / (1 - 3a) and a' = (1 - 3a) / (4a - 1), and
// Cp = 8 / λ² ∫ a'(1 - a) x³ dx from 0 to λ.
double glauertCp(double tsr) {
  const auto inductionAt = [](double x) {
    double lo = 0.25, hi = 1.0 / 3;  // x² rises from 0 to infinity between them
    for (int i = 0; i < 200; ++i) {
      const double a = (lo + hi) / 2;
      ((1 - a) * (4 * a - 1) * (4 * a - 1) / (1 - 3 * a) < x * x ? lo : hi) = a;
    }
    return (lo + hi) / 2;
  };
  constexpr int kSteps = 20000;
  double sum = 0;
  for (int i = 0; i < kSteps; ++i) {
    const double x = (i + 0.5) * tsr / kSteps, a = inductionAt(x);
    sum += (1 - 3 * a) / (4 * a - 1) * (1 - a) * x * x * x * tsr / kSteps;
  }
  return 8 / (tsr * tsr) * sum;
}

// A thin airfoil: CL = 2π α, no drag.
PolarSet thinAirfoil() {
  Polar p;
  p.reynolds = 1e6;
  for (int deg = -20; deg <= 20; ++deg) {
    p.alpha.push_back(deg);
    p.cl.push_back(2 * kPi * deg * kPi / 180);
    p.cd.push_back(0);
  }
  return PolarSet({p});
}

// The optimum blade with wake rotation for `tsr`: inflow angle
// 2/3 atan(1 / x), chord 8πr (1 - cos φ) / (B CL), at 5° angle of attack.
Rotor optimumRotor(double tsr, int blades, int count) {
  Rotor rotor;
  rotor.blades = blades;
  rotor.tipRadius = 1;
  rotor.hubRadius = 0;
  const double alpha = 5 * kPi / 180, cl = 2 * kPi * alpha;
  for (int i = 0; i < count; ++i) {
    const double r = (i + 0.5) / count, phi = 2.0 / 3 * std::atan(1 / (tsr * r));
    rotor.elements.push_back({r, 1.0 / count, 8 * kPi * r * (1 - std::cos(phi)) / (blades * cl), phi - alpha});
  }
  return rotor;
}

TEST(Bem, OptimumRotorReachesGlauertsPowerCoefficient) {
  const PolarSet polars = thinAirfoil();
  for (const double tsr : {2.0, 6.0, 10.0}) {
    const OperatingPoint op =
        analyse(optimumRotor(tsr, 3, 400), polars, tsr, 8, Air{}, BemOptions{.tipLoss = false, .hubLoss = false});
    EXPECT_NEAR(op.cp, glauertCp(tsr), 2e-4) << tsr;
    // Every annulus of the optimum rotor meets the wind at its design angle.
    for (const ElementState& e : op.elements) EXPECT_NEAR(e.alpha, 5, 1e-6);
  }
  // The known figures of Glauert's optimum: 0.512 at 2, approaching 16/27.
  EXPECT_NEAR(glauertCp(2), 0.512, 0.001);
  EXPECT_LT(glauertCp(10), 16.0 / 27);
}

// Momentum balance: with no rotation the thrust coefficient of an annulus
// is 4a(1 - a) and the rotor's is their area-weighted sum; power is torque
// times speed, and the coefficients follow from them.
TEST(Bem, CoefficientsAgreeWithForcesAndInduction) {
  const Rotor rotor = optimumRotor(6, 3, 200);
  const Air air;
  const double wind = 7;
  const OperatingPoint op = analyse(rotor, thinAirfoil(), 6, wind, air, BemOptions{.tipLoss = false, .hubLoss = false});
  double ct = 0;
  for (std::size_t k = 0; k < op.elements.size(); ++k) {
    const double a = op.elements[k].a, r = op.elements[k].r, dr = rotor.elements[k].width;
    ct += 4 * a * (1 - a) * 2 * r * dr;  // over the area π R², R = 1
  }
  EXPECT_NEAR(op.ct, ct, 1e-6);
  const double area = kPi, omega = 6 * wind / rotor.tipRadius;
  EXPECT_NEAR(op.power, op.torque * omega, 1e-9 * op.power);
  EXPECT_NEAR(op.cp, op.power / (0.5 * air.density * wind * wind * wind * area), 1e-12);
  EXPECT_NEAR(op.cq * 6, op.cp, 1e-12);
}

}  // namespace
}  // namespace ventaro
