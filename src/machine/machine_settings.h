// The machine a program is written for: the controller's dialect, the job
// (today's plain program or the shop job for a real machine) and the shop
// job's own settings. The design file keeps them beside the job fields.
#pragma once

#include "machine/controller.h"
#include "machine/shop_settings.h"

namespace ventaro {

struct MachineSettings {
  Controller controller = Controller::Plain;
  Job job = Job::Plain;
  ShopSettings shop;
};

bool operator==(const ShopSettings& a, const ShopSettings& b);
bool operator==(const MachineSettings& a, const MachineSettings& b);

}  // namespace ventaro
