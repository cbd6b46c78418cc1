// The machine a program is written for: the controller's dialect, the job
// (today's plain program or the shop job for a real machine) and the shop
// job's own settings. Held as the user gave them, like the job fields: a
// shop setting left empty takes the job's default when the job runs.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "machining/controller_profile.h"

namespace ventaro {

enum class Job { Plain, Shop };

std::optional<Job> jobByName(std::string_view name);  // "plain", "shop"
std::string_view jobName(Job job);

// The shop job's settings as texts; an absent one means the job's default.
struct ShopSettingTexts {
  std::string roughShape = "flat";  // "flat" or "ball"
  std::string finShape = "ball";
  std::optional<std::string> roughRpm;  // spindle speeds
  std::optional<std::string> finRpm;
  std::optional<std::string> plungeFeed;  // feed for moves into material along Z
  std::optional<std::string> blockTop;    // Z of the block's top face, mm
  std::optional<std::string> clearance;   // above the block top, mm
  std::optional<std::string> tolerance;   // of a compensated path, mm

  bool operator==(const ShopSettingTexts&) const = default;
};

struct MachineSettings {
  Controller controller = Controller::Plain;
  Job job = Job::Plain;
  ShopSettingTexts shop;

  bool operator==(const MachineSettings&) const = default;
};

}  // namespace ventaro
