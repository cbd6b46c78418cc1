// The machine a program is written for: the controller's dialect, the job
// (today's plain program or the shop job for a real machine) and the shop
// job's own settings. The design file keeps them beside the job fields.
#pragma once

#include <string>
#include <vector>

#include "machine/controller.h"
#include "machine/shop_settings.h"

namespace ventaro {

// What the rotor's performance is worked out for: the wind speed that sets
// the Reynolds numbers, and the polar files (XFOIL's PACC format) of the
// blade's airfoil; none for the NACA 4412 polars shipped with Ventaro.
struct PerformanceSettings {
  double wind = 8;  // m/s
  std::vector<std::string> polarFiles;
  bool operator==(const PerformanceSettings&) const = default;
};

struct MachineSettings {
  Controller controller = Controller::Plain;
  Job job = Job::Plain;
  ShopSettings shop;
  PerformanceSettings performance;
};

bool operator==(const ShopSettings& a, const ShopSettings& b);
bool operator==(const MachineSettings& a, const MachineSettings& b);

}  // namespace ventaro
