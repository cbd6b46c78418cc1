#include "machine/machine_limits.h"

#include <array>
#include <cmath>

#include "machine/fixed_text.h"

namespace ventaro {

namespace {

struct SettingName {
  std::string_view key, label;
};
constexpr std::array<SettingName, 18> kNames{{
    {"rough-rpm", "Roughing spindle speed / rpm"},
    {"fin-rpm", "Finishing spindle speed / rpm"},
    {"plunge-feed", "Plunge feed"},
    {"clearance", "Clearance / mm"},
    {"tolerance", "Tolerance / mm"},
    {"block-top", "Block top / mm"},
    {"scallop", "Scallop height / mm"},
    {"rough-flutes", "Roughing tool flutes"},
    {"fin-flutes", "Finishing tool flutes"},
    {"rough-chip-load", "Roughing chip load / mm per tooth"},
    {"fin-chip-load", "Finishing chip load / mm per tooth"},
    {"rough-reach", "Roughing flute length / mm"},
    {"fin-reach", "Finishing flute length / mm"},
    {"z-travel", "Z travel / mm"},
    {"rough-stickout", "Roughing stick-out / mm"},
    {"fin-stickout", "Finishing stick-out / mm"},
    {"rough-holder", "Roughing holder diameter / mm"},
    {"fin-holder", "Finishing holder diameter / mm"},
}};

// A speed or feed: positive, within `max`, and not written as zero.
std::optional<SettingError> rateProblem(Setting setting, double value, double max, const char* unit) {
  if (rateWritable(value, max)) return std::nullopt;
  const std::string range = "must be a number above 0 and at most " + machineNumber(max) + " " + unit;
  const bool inRange = std::isfinite(value) && value > 0 && value <= max;
  return SettingError(setting, inRange ? range + "; it would be written as 0" : range);
}

}  // namespace

std::string_view settingKey(Setting setting) { return kNames[static_cast<std::size_t>(setting)].key; }
std::string_view settingLabel(Setting setting) { return kNames[static_cast<std::size_t>(setting)].label; }

std::string quotedSettingLabel(Setting setting) { return "\u201c" + std::string(settingLabel(setting)) + "\u201d"; }

SettingError::SettingError(Setting setting, std::string predicate)
    : std::runtime_error(quotedSettingLabel(setting) + " " + predicate),
      setting_(setting),
      predicate_(std::move(predicate)) {}

std::string SettingError::text(const std::function<std::string(Setting)>& name) const {
  return name(setting_) + " " + predicate_;
}

std::string machineNumber(double value) {
  std::string text = fixedText(value, 4);
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  return text == "-0" ? "0" : text;
}

bool rateWritable(double value, double max) {
  return std::isfinite(value) && value > 0 && value <= max && machineNumber(value) != "0";
}

std::optional<SettingError> settingProblem(const ShopSettings& s) {
  if (auto p = rateProblem(Setting::RoughRpm, s.roughRpm, kMaxSpindleRpm, "rpm")) return p;
  if (auto p = rateProblem(Setting::FinRpm, s.finRpm, kMaxSpindleRpm, "rpm")) return p;
  if (auto p = rateProblem(Setting::PlungeFeed, s.plungeFeed, kMaxFeed, "mm/min")) return p;
  if (!std::isfinite(s.clearance) || !(s.clearance > 0) || s.clearance > kMaxClearance) {
    return SettingError(Setting::Clearance,
                        "must be a number above 0 and at most " + machineNumber(kMaxClearance) + " mm");
  }
  // The coordinates carry four decimals: a finer tolerance could not be kept.
  if (!std::isfinite(s.tolerance) || !(s.tolerance >= kFinestTolerance) || s.tolerance > kMaxTolerance) {
    return SettingError(Setting::Tolerance, "must be a number from " + machineNumber(kFinestTolerance) + " to " +
                                                machineNumber(kMaxTolerance) + " mm");
  }
  if (!std::isfinite(s.scallop) || !(s.scallop >= kFinestTolerance) || s.scallop > kMaxScallop) {
    return SettingError(Setting::Scallop, "must be a number from " + machineNumber(kFinestTolerance) + " to " +
                                              machineNumber(kMaxScallop) + " mm");
  }
  for (const auto& [setting, flutes] :
       {std::pair{Setting::RoughFlutes, s.roughFlutes}, std::pair{Setting::FinFlutes, s.finFlutes}}) {
    if (!(flutes >= 1 && flutes <= kMaxFlutes && flutes == std::floor(flutes))) {
      return SettingError(setting, "must be a whole number from 1 to " + machineNumber(kMaxFlutes));
    }
  }
  for (const auto& [setting, load] :
       {std::pair{Setting::RoughChipLoad, s.roughChipLoad}, std::pair{Setting::FinChipLoad, s.finChipLoad}}) {
    if (!(load >= kFinestTolerance && load <= kMaxChipLoad)) {
      return SettingError(setting, "must be a number from " + machineNumber(kFinestTolerance) + " to " +
                                       machineNumber(kMaxChipLoad) + " mm per tooth");
    }
  }
  for (const auto& [setting, length] :
       {std::pair{Setting::RoughReach, s.roughReach}, std::pair{Setting::FinReach, s.finReach},
        std::pair{Setting::ZTravel, s.zTravel}, std::pair{Setting::RoughStickout, s.roughStickout},
        std::pair{Setting::FinStickout, s.finStickout}}) {
    if (length && !(*length > 0 && *length <= kMaxToolLength)) {
      return SettingError(
          setting, "must be a number above 0 and at most " + machineNumber(kMaxToolLength) + " mm, or not given");
    }
  }
  for (const auto& [setting, diameter] :
       {std::pair{Setting::RoughHolder, s.roughHolder}, std::pair{Setting::FinHolder, s.finHolder}}) {
    if (!(diameter > 0 && diameter <= kMaxToolLength)) {
      return SettingError(setting, "must be a number above 0 and at most " + machineNumber(kMaxToolLength) + " mm");
    }
  }
  if (s.blockTop && !(std::abs(*s.blockTop) <= kMaxBlockHeight)) {
    return SettingError(Setting::BlockTop, "must be a number from " + machineNumber(-kMaxBlockHeight) + " to " +
                                               machineNumber(kMaxBlockHeight) + " mm, or worked out from the blade");
  }
  return std::nullopt;
}

void checkSettings(const ShopSettings& settings) {
  if (auto problem = settingProblem(settings)) throw *problem;
}

}  // namespace ventaro
