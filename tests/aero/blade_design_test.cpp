// The blade's design options: Schmitz's closed form, a chord cap that keeps
// every section on the stock, and a design lift read from the polars that
// puts the peak of the power coefficient at the design tip speed ratio.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <tuple>

#include "aero/naca4412_polars.h"
#include "core/fields.h"
#include "core/job_parameters.h"
#include "files/design_file.h"
#include "files/performance.h"
#include "files/shop_report.h"
#include "machine/fixed_text.h"
#include "toolpath/shop_job.h"

namespace ventaro {
namespace {

SectionTable filledTable() {
  SectionTable table;
  table.fill();
  return table;
}

JobFields rotor(double tsr, double diameter, int blades, double lift, double attack, double hub) {
  JobFields f;
  f[Field::TSR] = fixedText(tsr, 4);
  f[Field::D] = fixedText(diameter, 4);
  f[Field::B] = std::to_string(blades);
  f[Field::Cl] = fixedText(lift, 4);
  f[Field::AT] = fixedText(attack, 4);
  f[Field::HubRad] = fixedText(hub, 4);
  return f;
}

TEST(BladeDesign, SchmitzIsItsClosedForm) {
  const SectionTable table = filledTable();
  std::mt19937 random(20261209);
  const auto in = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(random); };
  DesignSettings schmitz;
  schmitz.method = DesignMethod::Schmitz;
  for (int k = 0; k < 1000; ++k) {
    const double diameter = in(1, 5);
    const BladeParameters p = readParameters(
        rotor(in(3, 10), diameter, static_cast<int>(in(2, 6)), in(0.5, 1.4), in(2, 8), in(0.05, 0.2) * diameter / 2));
    const BladeModel blade(p, table, schmitz);
    const double tipR = p.D.value() / 2, r = in(blade.hubX(), blade.tipX()) / 1000;
    const double phi = 2.0 / 3 * std::atan(tipR / (p.TSR.value() * r));
    const double chord = 16 * std::numbers::pi * r / (p.B.value() * p.Cl.value()) * std::pow(std::sin(phi / 2), 2);
    const BladeModel::Planform got = blade.planformAt(r * 1000);
    EXPECT_NEAR(got.chord / chord, 1, 1e-9) << k;
    EXPECT_NEAR(got.inflow / phi, 1, 1e-9) << k;
    EXPECT_NEAR(got.twist, phi - p.AT.value() / kDegreesPerRadian, 1e-9) << k;
  }
}

TEST(BladeDesign, CappedChordKeepsEverySectionOnTheStock) {
  const SectionTable table = filledTable();
  DesignSettings capped;
  capped.chordCap = 300;
  for (const JobFields& f :
       {JobFields{}, rotor(4, 3.36, 3, 0.8, 5, 0.2), rotor(6, 2.4, 2, 0.8, 5, 0.1), rotor(8, 3.36, 3, 0.8, 5, 0.3)}) {
    const BladeModel blade(readParameters(f), table, capped);
    for (double x = blade.hubX(); x <= blade.tipX(); x += 5) {
      for (const SectionPoint& p : blade.section(x)) {
        EXPECT_GE(p.y, -1e-9) << x;
        EXPECT_LE(p.y, 300 + 1e-9) << x;
      }
      EXPECT_LE(blade.planformAt(x).chord, 0.3 + 1e-12);
    }
    // Where the chord is narrow and little twisted the cap leaves it alone.
    EXPECT_DOUBLE_EQ(blade.planformAt(blade.tipX()).chord,
                     BladeModel(readParameters(f), table).planformAt(blade.tipX()).chord);
  }
}

// Designed with the lift the airfoil has at the design angle, the blade
// works where it was designed to: its Cp peaks at the design tip speed
// ratio. Designed with a typed 0.8 against NACA 4412's 1.0 it peaks at 5.
// A blade from a plank: every section, both surfaces, within the plank's
// width and thickness; the twist given up only where the section would not
// fit, and then no more than it must; the root block the plank's full
// section, carrying no lift.
TEST(BladeDesign, PlankHoldsEverySectionAndTheRootBlock) {
  const SectionTable table = filledTable();
  DesignSettings plank;
  plank.chordCap = 150;
  plank.blankThickness = 30;
  plank.rootBlock = std::pair{60.0, 80.0};
  for (const JobFields& f :
       {JobFields{}, rotor(4, 3.36, 3, 0.8, 5, 0.2), rotor(6, 2.4, 2, 0.8, 5, 0.1), rotor(8, 3.36, 3, 0.8, 5, 0.3)}) {
    const BladeModel blade(readParameters(f), table, plank), free(readParameters(f), table);
    const double width = readParameters(f).Max.value() * 1000;
    int limited = 0;
    for (double x = blade.hubX(); x <= blade.tipX(); x += 5) {
      double lo = 1e9, hi = -1e9;
      for (const Section& s : {blade.section(x), blade.lowerSection(x)}) {
        for (const SectionPoint& p : s) {
          EXPECT_GE(p.y, -1e-9) << x;
          EXPECT_LE(p.y, width + 1e-9) << x;
          lo = std::min(lo, p.z), hi = std::max(hi, p.z);
        }
      }
      EXPECT_GE(lo, -1e-9) << x;
      EXPECT_LE(hi, 30 + 1e-9) << x;
      if (x < blade.airfoilFrom()) continue;
      const double twist = blade.planformAt(x).twist, wanted = free.planformAt(x).twist;
      EXPECT_LE(std::abs(twist), std::abs(wanted) + 1e-12) << x;
      if (std::abs(twist) < std::abs(wanted) - 1e-9) {
        ++limited;
        EXPECT_NEAR(hi - lo, 30, 1e-6) << x;  // no more twist given up than fits
      }
    }
    EXPECT_GT(limited, 0);
    for (double x = blade.hubX(); x < blade.hubX() + 60; x += 10) {
      const Section up = blade.section(x), down = blade.lowerSection(x);
      EXPECT_NEAR(up.front().z, 15, 1e-9);
      EXPECT_NEAR(up.back().y, width, 1e-9);
      for (std::size_t j = 1; j < up.size(); ++j) {
        EXPECT_NEAR(up[j].z, 30, 1e-9) << x;
        EXPECT_NEAR(down[j].z, 0, 1e-9) << x;
      }
    }
    EXPECT_DOUBLE_EQ(blade.airfoilFrom(), blade.hubX() + 140);
    EXPECT_NEAR(rotorOf(blade).elements.front().r * 1000 - blade.airfoilFrom(),
                (blade.tipX() - blade.airfoilFrom()) / 80, 1e-9);
  }
  // The shop job mills it from the plank: the block's top is the plank's.
  const ShopPlan plan = planShopJob(readShopInputs(JobFields{}, {}), readParameters(JobFields{}), {}, nullptr, plank);
  EXPECT_EQ(plan.block.top, 30);
  // On the stock, within the plank: the report has nothing to warn of.
  EXPECT_EQ(plan.fit.offStock, 0);
  EXPECT_GE(plan.fit.lowest, -1e-9);
  EXPECT_LE(plan.fit.highest, 30 + 1e-9);
  EXPECT_EQ(shopReport(plan, Controller::LinuxCnc, "").find("past the stock"), std::string::npos);
  EXPECT_EQ(shopReport(plan, Controller::LinuxCnc, "").find("the least thickness"), std::string::npos);
}

TEST(BladeDesign, LiftFromThePolarsPeaksAtTheDesignRatio) {
  const SectionTable table = filledTable();
  MachineSettings machine;
  machine.design.liftFromPolar = true;
  const PolarSet polars(naca4412Polars());
  for (const double tsr : {5.0, 6.0, 7.0}) {
    const BladeParameters p = readParameters(rotor(tsr, 3.36, 3, 0.8, 5, 0.2));
    const Performance designed = rotorPerformance(designedBlade(p, table, machine), polars, 8);
    EXPECT_NEAR(designed.peakTsr, tsr, 0.3) << tsr;
    const Performance typed = rotorPerformance(BladeModel(p, table), polars, 8);
    EXPECT_GT(designed.design.cp, typed.design.cp) << tsr;
  }
}

}  // namespace
}  // namespace ventaro

namespace ventaro {
namespace {

// The design file carries the design options and the performance settings
// as version 2, and a design without them stays version 1.
TEST(BladeDesign, DesignFileCarriesTheOptions) {
  Design plain;
  EXPECT_NE(designText(plain, "d.json").find("\"version\": 1,"), std::string::npos);
  Design shaped;
  shaped.machine.design = {DesignMethod::Schmitz, true, 280.0, std::pair{0.5, 0.9}, "naca2412", 45.0,
                           std::pair{60.0, 75.0}};
  shaped.machine.performance = {7.5, {"a.txt", "b.txt"}};
  const std::string text = designText(shaped, "d.json");
  EXPECT_NE(text.find("\"version\": 2,"), std::string::npos);
  const Design back = parseDesign(text, "d.json");
  EXPECT_EQ(back.machine, shaped.machine);
  for (const auto& [from, to, why] : {std::tuple{"\"schmitz\"", "\"betz\"", "must be classic or schmitz"},
                                      std::tuple{"280.0", "-1", "\"blade.chord-cap\" is not a positive number"},
                                      std::tuple{"45.0", "0", "\"blade.blank-thickness\" is not a positive"},
                                      std::tuple{"75.0", "0", "\"blade.root-block\" is neither null nor"},
                                      std::tuple{"\"version\": 2", "\"version\": 3", "reads versions 1 to 2"}}) {
    std::string bad = text;
    bad.replace(bad.find(from), std::string(from).size(), to);
    try {
      (void)parseDesign(bad, "d.json");
      ADD_FAILURE() << why;
    } catch (const DesignError& e) {
      EXPECT_NE(std::string(e.what()).find(why), std::string::npos) << e.what();
    }
  }
}

}  // namespace
}  // namespace ventaro
