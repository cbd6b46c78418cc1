#include "aero/bem.h"

#include <gsl/gsl_errno.h>
#include <gsl/gsl_roots.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

namespace ventaro {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kDeg = kPi / 180;

// What one annulus is, at one operating point, with the Reynolds number its
// polars are read at.
struct Annulus {
  const BladeElement& e;
  const Rotor& rotor;
  const PolarSet& polars;
  const BemOptions& options;
  double speedRatio;  // local: blade speed over wind speed
  double reynolds;
};

// The inductions and coefficients that an inflow angle gives.
struct Balance {
  double residual = 0, a = 0, aPrime = 0;
  Coefficients c;
};

Balance balance(const Annulus& n, double phi) {
  const BladeElement& e = n.e;
  const double sphi = std::sin(phi), cphi = std::cos(phi);
  Balance out;
  out.c = n.polars.at((phi - e.twist) / kDeg, n.reynolds);
  const double cn = out.c.cl * cphi + out.c.cd * sphi, ctan = out.c.cl * sphi - out.c.cd * cphi;
  // Prandtl's loss factor: the flow slips round the tip (and the hub)
  // between the blades' vortex sheets.
  const double b = n.rotor.blades;
  double f = 1;
  if (n.options.tipLoss) {
    const double g = b / 2 * (n.rotor.tipRadius - e.r) / (e.r * std::abs(sphi));
    f *= 2 / kPi * std::acos(std::exp(-g));
  }
  if (n.options.hubLoss && n.rotor.hubRadius > 0) {
    const double g = b / 2 * (e.r - n.rotor.hubRadius) / (n.rotor.hubRadius * std::abs(sphi));
    f *= 2 / kPi * std::acos(std::exp(-g));
  }
  f = std::max(f, 1e-12);
  const double solidity = b * e.chord / (2 * kPi * e.r);
  const double k = solidity * cn / (4 * f * sphi * sphi);
  const double kp = solidity * ctan / (4 * f * sphi * cphi);
  if (phi > 0) {
    if (k <= 2.0 / 3) {
      out.a = k / (1 + k);
    } else {
      // Buhl's empirical thrust beyond a = 0.4, joined smoothly to momentum.
      const double g1 = 2 * f * k - (10.0 / 9 - f);
      const double g2 = std::max(0.0, 2 * f * k - f * (4.0 / 3 - f));
      const double g3 = 2 * f * k - (25.0 / 9 - 2 * f);
      out.a = std::abs(g3) < 1e-6 ? 1 - 1 / (2 * std::sqrt(g2)) : (g1 - std::sqrt(g2)) / g3;
    }
    out.aPrime = kp / (1 - kp);
    out.residual = sphi / (1 - out.a) - cphi / n.speedRatio * (1 - kp);
  } else {
    // The propeller brake: the wind drives the annulus backwards.
    out.a = k > 1 ? k / (k - 1) : 0;
    out.aPrime = kp / (1 - kp);
    out.residual = sphi * (1 - k) - cphi / n.speedRatio * (1 - kp);
  }
  return out;
}

double residualOf(double phi, void* annulus) { return balance(*static_cast<const Annulus*>(annulus), phi).residual; }

// The root of the residual within [lo, hi], where it changes sign.
double rootWithin(const Annulus& n, double lo, double hi) {
  const std::unique_ptr<gsl_root_fsolver, decltype(&gsl_root_fsolver_free)> solver(
      gsl_root_fsolver_alloc(gsl_root_fsolver_brent), &gsl_root_fsolver_free);
  gsl_function f{&residualOf, const_cast<Annulus*>(&n)};
  gsl_root_fsolver_set(solver.get(), &f, lo, hi);
  double root = (lo + hi) / 2;
  for (int i = 0; i < 100; ++i) {
    if (gsl_root_fsolver_iterate(solver.get()) != GSL_SUCCESS) break;
    root = gsl_root_fsolver_root(solver.get());
    if (gsl_root_test_interval(gsl_root_fsolver_x_lower(solver.get()), gsl_root_fsolver_x_upper(solver.get()), 1e-12,
                               0) == GSL_SUCCESS) {
      break;
    }
  }
  return root;
}

// The inflow angle: in the windmill's range (0, 90°] first, then in the
// propeller brake's (-45°, 0), then beyond 90°.
double inflowOf(const Annulus& n) {
  constexpr double kEps = 1e-6;
  const auto signChange = [&](double lo, double hi) {
    return residualOf(lo, (void*)&n) * residualOf(hi, (void*)&n) <= 0;
  };
  if (signChange(kEps, kPi / 2)) return rootWithin(n, kEps, kPi / 2);
  if (signChange(-kPi / 4, -kEps)) return rootWithin(n, -kPi / 4, -kEps);
  if (signChange(kPi / 2, kPi - kEps)) return rootWithin(n, kPi / 2, kPi - kEps);
  return kPi / 2;
}

}  // namespace

Rotor rotorOf(const BladeModel& blade, int count) {
  Rotor rotor;
  rotor.blades = static_cast<int>(std::lround(blade.blades()));
  rotor.tipRadius = blade.tipX() / 1000;
  // A root block and its transition carry no lift: the blade's lifting
  // part, and its root loss, begin where the airfoil does.
  rotor.hubRadius = blade.airfoilFrom() / 1000;
  const double width = (rotor.tipRadius - rotor.hubRadius) / count;
  for (int i = 0; i < count; ++i) {
    const double r = rotor.hubRadius + (i + 0.5) * width;
    const BladeModel::Planform p = blade.planformAt(r * 1000);
    rotor.elements.push_back({r, width, p.chord, p.twist});
  }
  return rotor;
}

OperatingPoint analyse(const Rotor& rotor, const PolarSet& polars, double tsr, double wind, const Air& air,
                       const BemOptions& options) {
  gsl_set_error_handler_off();
  OperatingPoint out;
  out.tsr = tsr;
  const double omega = tsr * wind / rotor.tipRadius;
  double thrust = 0, torque = 0;
  for (const BladeElement& e : rotor.elements) {
    // The Reynolds number follows the relative wind, which follows the
    // inductions: a few rounds settle it, the polars changing slowly with it.
    Annulus n{e,
              rotor,
              polars,
              options,
              omega * e.r / wind,
              air.density * std::hypot(wind, omega * e.r) * e.chord / air.viscosity};
    double phi = 0;
    Balance b;
    double w = 0;
    for (int round = 0; round < 6; ++round) {
      phi = inflowOf(n);
      b = balance(n, phi);
      w = std::hypot(wind * (1 - b.a), omega * e.r * (1 + b.aPrime));
      const double re = air.density * w * e.chord / air.viscosity;
      if (std::abs(re - n.reynolds) <= 1e-3 * n.reynolds) break;
      n.reynolds = re;
    }
    const double q = 0.5 * air.density * w * w * e.chord;
    const double sphi = std::sin(phi), cphi = std::cos(phi);
    thrust += rotor.blades * q * (b.c.cl * cphi + b.c.cd * sphi) * e.width;
    torque += rotor.blades * q * (b.c.cl * sphi - b.c.cd * cphi) * e.r * e.width;
    out.elements.push_back({e.r, n.reynolds, (phi - e.twist) / kDeg, b.c.cl, b.c.cd, b.a, b.aPrime, phi / kDeg});
  }
  const double area = kPi * rotor.tipRadius * rotor.tipRadius;
  const double dynamic = 0.5 * air.density * wind * wind;
  out.thrust = thrust;
  out.torque = torque;
  out.power = torque * omega;
  out.cp = out.power / (dynamic * wind * area);
  out.ct = thrust / (dynamic * area);
  out.cq = torque / (dynamic * area * rotor.tipRadius);
  return out;
}

double startingTorque(const Rotor& rotor, const PolarSet& polars, double wind, const Air& air) {
  double torque = 0;
  for (const BladeElement& e : rotor.elements) {
    // Standing still, the element meets the wind head on: its lift drives
    // the rotor round (the inflow angle is 90°).
    const double re = air.density * wind * e.chord / air.viscosity;
    const Coefficients c = polars.at(90 - e.twist / kDeg, re);
    torque += rotor.blades * 0.5 * air.density * wind * wind * e.chord * c.cl * e.r * e.width;
  }
  return torque;
}

}  // namespace ventaro
