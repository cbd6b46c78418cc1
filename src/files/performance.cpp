#include "files/performance.h"

#include <cmath>
#include <map>
#include <mutex>
#include <numbers>

#include "aero/naca4412_polars.h"
#include "aero/xfoil_run.h"
#include "blade/shop_block.h"
#include "files/small_file.h"
#include "machine/fixed_text.h"
#include "picture/preview_svg.h"

namespace ventaro {

namespace {

// A polar file is a few kilobytes.
constexpr std::size_t kMaxPolarBytes = std::size_t{1} << 20;

}  // namespace

std::vector<Polar> performancePolars(const PerformanceSettings& settings, const DesignSettings& design) {
  if (settings.xfoil) {
    if (!settings.polarFiles.empty()) throw PolarError("give polar files or ask for XFOIL's polars, not both");
    const std::optional<Airfoil> airfoil = designAirfoil(design);
    // XFOIL takes seconds an airfoil: its polars are kept for the next
    // Compute, by the airfoil's points (a file may change between them).
    std::string key = airfoil ? airfoil->name : "NACA 4412 as tabulated";
    if (airfoil) {
      for (const auto* surface : {&airfoil->upper, &airfoil->lower}) {
        for (const auto& [x, y] : *surface) key += " " + fixedText(x, 6) + "," + fixedText(y, 6);
      }
    }
    static std::mutex mutex;
    static std::map<std::string, std::vector<Polar>> kept;
    const std::lock_guard lock(mutex);
    if (const auto it = kept.find(key); it != kept.end()) return it->second;
    return kept[key] = xfoilPolars(airfoil ? &*airfoil : nullptr);
  }
  if (settings.polarFiles.empty()) return naca4412Polars();
  std::vector<Polar> polars;
  for (const std::string& path : settings.polarFiles) {
    try {
      polars.push_back(readXfoilPolar(
          readSmallFile(path, kMaxPolarBytes, "the file is larger than 1 MiB; a polar is a few kilobytes"), path));
    } catch (const SmallFileError& error) {
      throw PolarError("cannot read the polar \u201c" + path + "\u201d: " + error.what());
    }
  }
  return polars;
}

std::optional<Airfoil> designAirfoil(const DesignSettings& design) {
  const std::string& choice = design.airfoil;
  if (choice.empty()) return std::nullopt;
  if ((choice.starts_with("naca") || choice.starts_with("NACA")) && choice.size() == 8) {
    return nacaFourDigit(std::string_view(choice).substr(4));
  }
  try {
    return readAirfoilDat(
        readSmallFile(choice, kMaxPolarBytes, "the file is larger than 1 MiB; an airfoil is a few kilobytes"), choice);
  } catch (const SmallFileError& error) {
    throw AirfoilError("cannot read the airfoil \u201c" + choice + "\u201d: " + error.what());
  }
}

std::optional<double> designLift(const BladeParameters& parameters, const SectionTable& table,
                                 const MachineSettings& machine) {
  if (!machine.design.liftFromPolar) return std::nullopt;
  const PolarSet polars(performancePolars(machine.performance, machine.design));
  const double wind = machine.performance.wind;
  double lift = parameters.Cl.value();
  // The chord follows the lift and the Reynolds number the chord: three
  // rounds settle the lift to far better than the polars know it.
  const std::optional<Airfoil> airfoil = designAirfoil(machine.design);
  for (int round = 0; round < 3; ++round) {
    const BladeModel blade(parameters, table, machine.design, lift, airfoil ? &*airfoil : nullptr);
    const double x = 0.75 * blade.tipX();
    // The wind slowed by a third, and the blade's own speed there.
    const double w = wind * std::hypot(2.0 / 3.0, 0.75 * blade.tipSpeedRatio());
    const double reynolds = Air{}.density * w * blade.planformAt(x).chord / Air{}.viscosity;
    lift = polars.at(blade.designAlpha() * 180 / std::numbers::pi, reynolds).cl;
    if (!(lift > 0)) throw PolarError("the polars give no positive lift at the design angle of attack");
  }
  return lift;
}

BladeModel designedBlade(const BladeParameters& parameters, const SectionTable& table, const MachineSettings& machine) {
  const std::optional<Airfoil> airfoil = designAirfoil(machine.design);
  return BladeModel(parameters, table, machine.design, designLift(parameters, table, machine),
                    airfoil ? &*airfoil : nullptr);
}

Performance rotorPerformance(const BladeModel& blade, const PolarSet& polars, double wind) {
  Performance out;
  out.wind = wind;
  const Rotor rotor = rotorOf(blade);
  for (int k = 2; k <= 24; ++k) out.curve.push_back(analyse(rotor, polars, k / 2.0, wind));
  out.design = analyse(rotor, polars, blade.tipSpeedRatio(), wind);
  // The peak within half a step of the curve's highest point, to a hundredth.
  std::size_t best = 0;
  for (std::size_t k = 1; k < out.curve.size(); ++k) {
    if (out.curve[k].cp > out.curve[best].cp) best = k;
  }
  out.peakCp = out.curve[best].cp;
  out.peakTsr = out.curve[best].tsr;
  for (double tsr = out.peakTsr - 0.5; tsr <= out.peakTsr + 0.5 + 1e-9; tsr += 0.01) {
    if (tsr < 0.5) continue;
    const double cp = analyse(rotor, polars, tsr, wind).cp;
    if (cp > out.peakCp) out.peakCp = cp, out.peakTsr = tsr;
  }
  out.startingTorque = startingTorque(rotor, polars, wind);
  return out;
}

namespace {

// A table holds figures, never "nan": a rotor the analysis cannot follow
// (a chord of no finite size) is refused instead.
void requireFinite(std::initializer_list<double> values) {
  for (double v : values) {
    if (!std::isfinite(v)) throw PolarError("the rotor's fields give no blade that the analysis can follow");
  }
}

}  // namespace

std::string performanceCsv(const Performance& p) {
  std::string out = "tsr,cp,ct,cq\r\n";
  for (const OperatingPoint& op : p.curve) requireFinite({op.cp, op.ct, op.cq});
  for (const OperatingPoint& op : p.curve) {
    out += fixedText(op.tsr, 1) + "," + fixedText(op.cp, 5) + "," + fixedText(op.ct, 5) + "," + fixedText(op.cq, 5) +
           "\r\n";
  }
  return out;
}

std::vector<PowerPoint> powerCurve(const BladeModel& blade, const PolarSet& polars) {
  const Rotor rotor = rotorOf(blade);
  std::vector<PowerPoint> out;
  for (int wind = 3; wind <= 15; ++wind) {
    const OperatingPoint op = analyse(rotor, polars, blade.tipSpeedRatio(), wind);
    const double rpm = blade.tipSpeedRatio() * wind / rotor.tipRadius * 60 / (2 * std::numbers::pi);
    out.push_back({wind, rpm, op.power, op.torque});
  }
  return out;
}

std::string powerCsv(const std::vector<PowerPoint>& curve) {
  std::string out = "wind,rpm,power_w,torque_nm\r\n";
  for (const PowerPoint& p : curve) requireFinite({p.rpm, p.power, p.torque});
  for (const PowerPoint& p : curve) {
    out += std::to_string(p.wind) + "," + fixedText(p.rpm, 1) + "," + fixedText(p.power, 1) + "," +
           fixedText(p.torque, 3) + "\r\n";
  }
  return out;
}

std::string jobPerformanceCsv(const JobFields& fields, const SectionTable& table, const MachineSettings& machine) {
  const BladeModel blade = designedBlade(readParameters(fields), table, machine);
  return performanceCsv(rotorPerformance(blade, PolarSet(performancePolars(machine.performance, machine.design)),
                                         machine.performance.wind));
}

std::string jobPowerCsv(const JobFields& fields, const SectionTable& table, const MachineSettings& machine) {
  const BladeModel blade = designedBlade(readParameters(fields), table, machine);
  return powerCsv(powerCurve(blade, PolarSet(performancePolars(machine.performance, machine.design))));
}

std::string jobPerformanceSvg(const JobFields& fields, const SectionTable& table, const MachineSettings& machine) {
  const BladeModel blade = designedBlade(readParameters(fields), table, machine);
  const PolarSet polars(performancePolars(machine.performance, machine.design));
  const Performance p = rotorPerformance(blade, polars, machine.performance.wind);
  PerformancePlot plot;
  for (const OperatingPoint& op : p.curve) plot.cp.emplace_back(op.tsr, op.cp);
  for (const PowerPoint& point : powerCurve(blade, polars)) plot.power.emplace_back(point.wind, point.power);
  plot.designTsr = blade.tipSpeedRatio();
  plot.designCp = p.design.cp;
  plot.caption = "Blade element momentum analysis, " +
                 std::string(machine.performance.xfoil                ? "XFOIL's polars of the airfoil"
                             : machine.performance.polarFiles.empty() ? "NACA 4412 polars shipped with Ventaro"
                                                                      : "the polar files given") +
                 ", Cp curve at " + fixedText(machine.performance.wind, 1) + " m/s; air 1.225 kg/m\u00b3.";
  return performanceSvg(plot);
}

namespace {

// What the design options did to the blade, a line each; nothing for the
// program's rule alone.
std::string designText(const DesignSettings& design, std::optional<double> lift, double typedLift) {
  std::string out;
  if (design.method == DesignMethod::Schmitz) out += "  blade designed by Schmitz's optimum with wake rotation\n";
  if (lift) {
    out += "  design lift coefficient " + fixedText(*lift, 3) + " from the polars at the design angle of attack";
    // A typed one far from what the airfoil gives designs a blade that
    // runs overloaded or underloaded.
    if (std::abs(*lift - typedLift) > 0.05) {
      out += " (the typed " + fixedText(typedLift, 3) + " differs by more than 0.05)";
    }
    out += "\n";
  }
  if (design.straight) {
    out += "  chord and twist straight through their values at " + fixedText(design.straight->first, 2) + " and " +
           fixedText(design.straight->second, 2) + " of the tip radius\n";
  }
  if (design.chordCap) out += "  chord at most " + fixedText(*design.chordCap, 1) + " mm and within the stock\n";
  if (design.blankThickness) {
    out += "  twist, and chord where need be, limited so that every section fits a blank " +
           fixedText(*design.blankThickness, 1) + " mm thick, centred in it\n";
  }
  if (design.rootBlock) {
    out += "  a rectangular root block " + fixedText(design.rootBlock->first, 1) + " mm long, then " +
           fixedText(design.rootBlock->second, 1) + " mm of transition to the airfoil, which carry no lift\n";
  }
  if (!design.airfoil.empty()) {
    out += "  airfoil " + design.airfoil +
           " (read at NACA 4412's chordwise stations; its polars from --polar or --xfoil, else NACA 4412's stand)\n";
  }
  return out;
}

}  // namespace

std::vector<std::optional<ElementState>> stationDesignPoints(const DesignRecord& record,
                                                             const BladeParameters& parameters,
                                                             const SectionTable& table,
                                                             const PerformanceSettings& settings) {
  std::vector<std::optional<ElementState>> out;
  try {
    const BladeModel blade(parameters, table);
    // Each station as an element of its own: an annulus's balance does not
    // depend on its neighbours.
    Rotor rotor = rotorOf(blade, 1);
    rotor.elements.clear();
    for (Sweep s : {Sweep::Roughing, Sweep::Finishing}) {
      for (const StationRecord& rec : record.sweep(s)) {
        const BladeModel::Planform p = blade.planformAt(rec.x);
        rotor.elements.push_back({rec.x / 1000, 0, p.chord, p.twist});
      }
    }
    const OperatingPoint op =
        analyse(rotor, PolarSet(performancePolars(settings)), blade.tipSpeedRatio(), settings.wind);
    for (const ElementState& e : op.elements) {
      const bool finite = std::isfinite(e.reynolds) && std::isfinite(e.alpha) && std::isfinite(e.cl) &&
                          std::isfinite(e.cd) && std::isfinite(e.a) && std::isfinite(e.aPrime);
      out.push_back(finite ? std::optional<ElementState>(e) : std::nullopt);
    }
  } catch (const PolarError&) {
    out.clear();
  } catch (const FieldTextError&) {
    out.clear();
  }
  return out;
}

std::string performanceReport(const JobFields& fields, const SectionTable& table, const MachineSettings& machine) {
  const PerformanceSettings& settings = machine.performance;
  const std::string polarsText = settings.xfoil                ? "XFOIL's polars of the airfoil, run here"
                                 : settings.polarFiles.empty() ? "the NACA 4412 polars shipped with Ventaro"
                                 : settings.polarFiles.size() == 1
                                     ? "the polar file given"
                                     : std::to_string(settings.polarFiles.size()) + " polar files given";
  std::string out = "\nPerformance (blade element momentum analysis with " + polarsText + ", wind " +
                    fixedText(settings.wind, 1) + " m/s):\n";
  try {
    const BladeParameters parameters = readParameters(fields);
    const std::optional<double> lift = designLift(parameters, table, machine);
    const std::optional<Airfoil> airfoil = designAirfoil(machine.design);
    const BladeModel blade(parameters, table, machine.design, lift, airfoil ? &*airfoil : nullptr);
    out += designText(machine.design, lift, parameters.Cl.value());
    const Performance p = rotorPerformance(blade, PolarSet(performancePolars(settings, machine.design)), settings.wind);
    if (!std::isfinite(p.design.cp) || !std::isfinite(p.peakCp)) {
      return out + "  none: the rotor's fields give no blade that the analysis can follow\n";
    }
    out += "  power coefficient Cp " + fixedText(p.design.cp, 3) + " at the design tip speed ratio " +
           fixedText(blade.tipSpeedRatio(), 2) + "\n";
    out += "  highest Cp " + fixedText(p.peakCp, 3) + " at tip speed ratio " + fixedText(p.peakTsr, 2) + "\n";
    out +=
        "  starting torque " + fixedText(p.startingTorque, 2) + " N m in a wind of " + fixedText(p.wind, 1) + " m/s\n";
  } catch (const PolarError& error) {
    out += std::string("  none: ") + error.what() + "\n";
  } catch (const AirfoilError& error) {
    out += std::string("  none: ") + error.what() + "\n";
  } catch (const FieldTextError&) {
    out += "  none: the rotor's fields give no blade to analyse\n";
  } catch (const RunError&) {
    out += "  none: the rotor's fields give no blade to analyse\n";
  }
  return out;
}

}  // namespace ventaro
