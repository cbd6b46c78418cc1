// How the designed rotor performs, for the report and the performance
// tables: its power, thrust and torque coefficients against the tip speed
// ratio, its power curve against the wind speed, and its starting torque,
// all by the blade element momentum analysis with the airfoil's polars.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "aero/bem.h"
#include "aero/polar.h"
#include "blade/blade_model.h"
#include "blade/design_record.h"
#include "core/section_table.h"
#include "machine/machine_settings.h"

namespace ventaro {

// The polars the settings name, each file read in full; or XFOIL's of the
// design's airfoil, run here (once per airfoil while the program runs); the
// shipped NACA 4412 polars when neither is asked for. Raises PolarError
// naming the file, or saying why XFOIL gave none.
std::vector<Polar> performancePolars(const PerformanceSettings& settings, const DesignSettings& design = {});

// The design lift coefficient the settings ask for: the polars' at the
// design angle of attack, at the Reynolds number of the section at three
// quarters of the tip radius in the settings' wind (the blade designed for
// it); none when the typed one stands. Raises PolarError.
std::optional<double> designLift(const BladeParameters& parameters, const SectionTable& table,
                                 const MachineSettings& machine);

// The airfoil the settings choose: none for NACA 4412 as tabulated.
// Raises AirfoilError, naming a file that cannot be read.
std::optional<Airfoil> designAirfoil(const DesignSettings& design);

// The blade as the settings shape it.
BladeModel designedBlade(const BladeParameters& parameters, const SectionTable& table, const MachineSettings& machine);

struct Performance {
  double wind = 0;                    // m/s
  std::vector<OperatingPoint> curve;  // tip speed ratios 1 to 12 in steps of 0.5
  OperatingPoint design;              // at the design tip speed ratio
  double peakCp = 0, peakTsr = 0;     // the curve's peak, found to a hundredth of the ratio
  double startingTorque = 0;          // N m, standing still in the wind
};

Performance rotorPerformance(const BladeModel& blade, const PolarSet& polars, double wind);

// "tsr,cp,ct,cq" and a row per point of the curve.
std::string performanceCsv(const Performance& performance);

// The power curve: at wind speeds 3 to 15 m/s, the rotor held at its
// design tip speed ratio.
struct PowerPoint {
  int wind = 0;                           // m/s
  double rpm = 0, power = 0, torque = 0;  // W, N m
};
std::vector<PowerPoint> powerCurve(const BladeModel& blade, const PolarSet& polars);

// "wind,rpm,power_w,torque_nm" and a row per point of the power curve.
std::string powerCsv(const std::vector<PowerPoint>& curve);

// The performance table and the power curve of a run's rotor, shaped as its
// settings ask (CSV). Raise PolarError and ShopError.
std::string jobPerformanceCsv(const JobFields& fields, const SectionTable& table, const MachineSettings& machine);
std::string jobPowerCsv(const JobFields& fields, const SectionTable& table, const MachineSettings& machine);

// The performance picture of a run's rotor, shaped as its settings ask
// (SVG). Raises PolarError and ShopError.
std::string jobPerformanceSvg(const JobFields& fields, const SectionTable& table, const MachineSettings& machine);

// The design point at every station of both sweeps, in the station
// table's order: the rotor at its design tip speed ratio in the settings'
// wind. None where the fields give no blade or the polars cannot be read.
std::vector<std::optional<ElementState>> stationDesignPoints(const DesignRecord& record,
                                                             const BladeParameters& parameters,
                                                             const SectionTable& table,
                                                             const PerformanceSettings& settings);

// The report's lines on the performance: Cp at the design tip speed ratio,
// its peak and where it lies, the starting torque; or why there are none.
std::string performanceReport(const JobFields& fields, const SectionTable& table, const MachineSettings& machine);

}  // namespace ventaro
