// The rotor's power coefficient against a blade element momentum analysis
// written apart from Ventaro's: its own reading of the polar files, its own
// Viterna-Corrigan extension and Reynolds interpolation, and the textbook
// solution by relaxed iteration of the induction factors (where Ventaro
// finds the inflow angle as a bracketed root). Both take the same blades,
// the same polar files and the same corrections (Prandtl's tip and hub loss,
// Buhl's high-induction thrust), as an outside check with those polars
// would.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <sstream>

#include "aero/bem.h"
#include "core/fields.h"
#include "core/job_parameters.h"
#include "files/performance.h"
#include "machine/fixed_text.h"

namespace ventaro {
namespace {

constexpr double kPi = std::numbers::pi;

struct Table {
  double re = 0;
  std::vector<double> alpha, cl, cd;  // degrees; then extended to ±180
};

Table readTable(const std::string& path) {
  std::ifstream in(path);
  Table t;
  bool body = false;
  for (std::string line; std::getline(in, line);) {
    if (const auto at = line.find("Re ="); at != std::string::npos) {
      std::istringstream s(line.substr(at + 4));
      double mantissa = 0, exponent = 0;
      std::string e;
      s >> mantissa >> e >> exponent;
      t.re = mantissa * std::pow(10.0, exponent);
    }
    if (line.find("------") != std::string::npos) {
      body = true;
      continue;
    }
    std::istringstream s(line);
    double a = 0, l = 0, d = 0;
    if (body && (s >> a >> l >> d)) {
      t.alpha.push_back(a);
      t.cl.push_back(l);
      t.cd.push_back(d);
    }
  }
  return t;
}

// Viterna and Corrigan from the point of greatest lift up to 90°, for
// aspect ratio 7, and the same conventions beyond 90° and below the table
// as the analysis under test.
struct Extended {
  double re;
  Table t;
  double as, cls, cds, cdmax = 1.11 + 0.018 * 7, a2, b2;

  explicit Extended(const Table& table) : re(table.re), t(table) {
    const std::size_t k = static_cast<std::size_t>(std::max_element(t.cl.begin(), t.cl.end()) - t.cl.begin());
    as = t.alpha[k] * kPi / 180, cls = t.cl[k], cds = t.cd[k];
    a2 = (cls - cdmax * std::sin(as) * std::cos(as)) * std::sin(as) / (std::cos(as) * std::cos(as));
    b2 = (cds - cdmax * std::sin(as) * std::sin(as)) / std::cos(as);
    // Only the table's part up to the greatest lift is the airfoil's.
    t.alpha.resize(k + 1), t.cl.resize(k + 1), t.cd.resize(k + 1);
  }
  std::pair<double, double> viterna(double a) const {  // radians, held within as..90°
    a = std::clamp(a, as, kPi / 2);
    return {cdmax / 2 * std::sin(2 * a) + a2 * std::cos(a) * std::cos(a) / std::sin(a),
            cdmax * std::sin(a) * std::sin(a) + b2 * std::cos(a)};
  }
  // The flat plate all round: the Viterna curve up to 90°, mirrored beyond
  // it and on the negative side with 0.7 of its lift reversed, and straight
  // to nothing within the stall angle of ±180°.
  std::pair<double, double> model(double deg) const {
    const double a = deg * kPi / 180;
    if (a >= 0 && a <= kPi / 2) return viterna(a);
    if (a > kPi / 2 && a <= kPi - as) return {-0.7 * viterna(kPi - a).first, viterna(kPi - a).second};
    if (a > kPi - as) return {0.7 * cls * (a - kPi) / as, cds};
    if (a >= -kPi / 2) return {-0.7 * viterna(-a).first, viterna(-a).second};
    if (a >= -kPi + as) return {0.7 * viterna(kPi + a).first, viterna(kPi + a).second};
    return {0.7 * cls * (a + kPi) / as, cds};
  }
  std::pair<double, double> at(double deg) const {
    if (deg >= t.alpha.front() && deg <= t.alpha.back()) {
      const std::size_t i = static_cast<std::size_t>(
          std::max<std::ptrdiff_t>(1, std::upper_bound(t.alpha.begin(), t.alpha.end(), deg) - t.alpha.begin()));
      const std::size_t j = std::min(i, t.alpha.size() - 1);
      const double u = (deg - t.alpha[j - 1]) / (t.alpha[j] - t.alpha[j - 1]);
      return {t.cl[j - 1] + u * (t.cl[j] - t.cl[j - 1]), t.cd[j - 1] + u * (t.cd[j] - t.cd[j - 1])};
    }
    if (deg > t.alpha.back()) return model(deg);
    // Below the table the model takes over across 10°.
    const double first = t.alpha.front(), from = first - 10;
    if (deg <= from) return model(deg);
    const auto [l, d] = model(from);
    const double u = (deg - from) / 10;
    return {l + u * (t.cl.front() - l), d + u * (t.cd.front() - d)};
  }
};

struct Polars {
  std::vector<Extended> byRe;
  std::pair<double, double> at(double deg, double re) const {
    if (re <= byRe.front().re) return byRe.front().at(deg);
    if (re >= byRe.back().re) return byRe.back().at(deg);
    std::size_t k = 1;
    while (byRe[k].re < re) ++k;
    const double u = std::log(re / byRe[k - 1].re) / std::log(byRe[k].re / byRe[k - 1].re);
    const auto [l0, d0] = byRe[k - 1].at(deg);
    const auto [l1, d1] = byRe[k].at(deg);
    return {l0 + u * (l1 - l0), d0 + u * (d1 - d0)};
  }
};

// Power coefficient by the textbook iteration: guess the inductions, read
// the section's coefficients at the inflow they give, work out new ones
// from momentum, and move part of the way to them until they settle.
double independentCp(const Rotor& rotor, const Polars& polars, double tsr, double wind) {
  const double rho = 1.225, mu = 1.81e-5, R = rotor.tipRadius, omega = tsr * wind / R;
  double torque = 0;
  for (const BladeElement& e : rotor.elements) {
    double a = 0.3, ap = 0, phi = 0, cl = 0, cd = 0, w = 0;
    int it = 0;
    double lastChange = 0;
    for (; it < 8000; ++it) {
      phi = std::atan2((1 - a) * wind, (1 + ap) * omega * e.r);
      w = std::hypot((1 - a) * wind, (1 + ap) * omega * e.r);
      std::tie(cl, cd) = polars.at((phi - e.twist) * 180 / kPi, rho * w * e.chord / mu);
      const double s = std::sin(phi), c = std::cos(phi);
      const double ft = 2 / kPi * std::acos(std::exp(-rotor.blades / 2.0 * (R - e.r) / (e.r * std::abs(s))));
      const double fh =
          2 / kPi *
          std::acos(std::exp(-rotor.blades / 2.0 * (e.r - rotor.hubRadius) / (rotor.hubRadius * std::abs(s))));
      const double f = ft * fh;
      const double sigma = rotor.blades * e.chord / (2 * kPi * e.r);
      const double cn = cl * c + cd * s, ct = cl * s - cd * c;
      // Thrust coefficient of the annulus from the blade, and the axial
      // induction momentum (or Buhl's line past a = 0.4) gives for it.
      const double ctAnnulus = sigma * (1 - a) * (1 - a) * cn / (s * s);
      double an;
      if (ctAnnulus <= 0.96 * f) {
        an = 1 / (1 + 4 * f * s * s / (sigma * cn));
      } else {
        // Buhl: CT = 8/9 + (4F - 40/9) a + (50/9 - 4F) a², solved for a.
        const double qa = 50.0 / 9 - 4 * f, qb = 4 * f - 40.0 / 9, qc = 8.0 / 9 - ctAnnulus;
        an = (-qb + std::sqrt(std::max(0.0, qb * qb - 4 * qa * qc))) / (2 * qa);
      }
      const double apn = 1 / (4 * f * s * c / (sigma * ct) - 1);
      const double change = std::abs(an - a) + std::abs(apn - ap);
      // Slower where it does not settle (near the hub, where the loss
      // factor makes the tangential induction swing).
      const double relax = it < 1000 ? 0.25 : it < 3000 ? 0.05 : 0.01;
      a += relax * (an - a);
      ap += relax * (apn - ap);
      lastChange = change;
      if (change < 1e-10) break;
    }
    EXPECT_LT(it, 8000) << "the iteration did not settle at r " << e.r << " m, tip speed ratio " << tsr
                        << ", last change " << lastChange;
    torque += rotor.blades * 0.5 * rho * w * w * e.chord * (cl * std::sin(phi) - cd * std::cos(phi)) * e.r * e.width;
  }
  return torque * omega / (0.5 * rho * std::pow(wind, 3) * kPi * R * R);
}

JobFields rotor(const char* tsr, const char* d, const char* b, const char* hub) {
  JobFields f;
  f[Field::TSR] = tsr;
  f[Field::D] = d;
  f[Field::B] = b;
  f[Field::HubRad] = hub;
  return f;
}

TEST(IndependentBem, SamePolarsSameCp) {
  Polars polars;
  PerformanceSettings files;
  for (const auto& entry : std::filesystem::directory_iterator(VENTARO_POLARS_DIR)) {
    files.polarFiles.push_back(entry.path().string());
  }
  std::sort(files.polarFiles.begin(), files.polarFiles.end());
  for (const std::string& file : files.polarFiles) polars.byRe.emplace_back(readTable(file));
  std::sort(polars.byRe.begin(), polars.byRe.end(), [](const Extended& x, const Extended& y) { return x.re < y.re; });
  const PolarSet set(performancePolars(files));
  SectionTable table;
  table.fill();
  MachineSettings schmitz;
  schmitz.design.method = DesignMethod::Schmitz;
  schmitz.design.liftFromPolar = true;
  const struct {
    JobFields fields;
    MachineSettings machine;
  } blades[] = {{JobFields{}, {}},
                {rotor("8", "3.36", "3", "0.2"), {}},
                {rotor("6", "2.4", "2", "0.1"), {}},
                {rotor("6", "3.36", "3", "0.3"), {}},
                {rotor("5", "3.36", "3", "0.2"), schmitz}};
  for (const auto& [fields, machine] : blades) {
    const BladeParameters p = readParameters(fields);
    const Rotor r = rotorOf(designedBlade(p, table, machine));
    for (double tsr = 2; tsr <= 10; tsr += 0.5) {
      const double ours = analyse(r, set, tsr, 8).cp, theirs = independentCp(r, polars, tsr, 8);
      EXPECT_NEAR(ours, theirs, tsr == p.TSR.value() ? 0.005 : 0.01) << fields[Field::TSR] << " at " << tsr;
    }
  }
}

}  // namespace
}  // namespace ventaro
