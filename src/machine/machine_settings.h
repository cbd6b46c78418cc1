// The machine a program is written for: the controller's dialect, the job
// (today's plain program or the shop job for a real machine) and the shop
// job's own settings. The design file keeps them beside the job fields.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "machine/controller.h"
#include "machine/shop_settings.h"

namespace ventaro {

// What the rotor's performance is worked out for: the wind speed that sets
// the Reynolds numbers, and the polar files (XFOIL's PACC format) of the
// blade's airfoil; none for the NACA 4412 polars shipped with Ventaro.
// The strongest wind the analysis is asked for: a storm's, far beyond
// what a small turbine runs in.
inline constexpr double kMaxWind = 100;  // m/s

struct PerformanceSettings {
  double wind = 8;  // m/s
  std::vector<std::string> polarFiles;
  bool xfoil = false;  // the airfoil's polars from XFOIL, run here
  bool operator==(const PerformanceSettings&) const = default;
};

// How the blade is shaped beyond the program's rule, all off by default:
// the rule (classic) or Schmitz's optimum with wake rotation; the design
// lift coefficient read from the airfoil's polar at the design angle of
// attack instead of the typed one; a chord no wider than a cap (and than
// the stock, twisted); a straight chord and twist through their values at
// two fractions of the tip radius, as a maker cuts from a plank; another
// airfoil than NACA 4412.
enum class DesignMethod { Classic, Schmitz };

std::optional<DesignMethod> designMethodByName(std::string_view name);  // "classic", "schmitz"
const char* designMethodName(DesignMethod method);

struct DesignSettings {
  DesignMethod method = DesignMethod::Classic;
  bool liftFromPolar = false;
  std::optional<double> chordCap;                     // mm
  std::optional<std::pair<double, double>> straight;  // fractions of the tip radius
  std::string airfoil;                                // "" NACA 4412 as tabulated, "naca2412", or a .dat file
  // A plank's thickness (mm): each section's twist is limited, and its
  // chord if need be, so that it fits; sections are then centred in the
  // plank's width and thickness.
  std::optional<double> blankThickness;
  // A rectangular root block from the hub outward and the transition from
  // it to the airfoil (mm): the block's length and the transition's.
  std::optional<std::pair<double, double>> rootBlock;
  bool operator==(const DesignSettings&) const = default;
  bool any() const { return *this != DesignSettings{}; }
};

struct MachineSettings {
  Controller controller = Controller::Plain;
  Job job = Job::Plain;
  ShopSettings shop;
  PerformanceSettings performance;
  DesignSettings design;
};

bool operator==(const ShopSettings& a, const ShopSettings& b);
bool operator==(const MachineSettings& a, const MachineSettings& b);

}  // namespace ventaro
