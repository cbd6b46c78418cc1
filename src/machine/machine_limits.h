// The range a machine setting may take. A spindle speed, a feed, a height
// or a tolerance that no machine can meet would still be written into a
// program (a clearance of 1e300 is a line of 300 digits, a speed that rounds
// to nothing starts the spindle at S0 and feeds the tool into the block), so
// every setting is checked, and refused by name, before anything is written.
#pragma once

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "machine/shop_settings.h"

namespace ventaro {

enum class Setting {
  RoughRpm,
  FinRpm,
  PlungeFeed,
  Clearance,
  Tolerance,
  BlockTop,
  Scallop,
  RoughFlutes,
  FinFlutes,
  RoughChipLoad,
  FinChipLoad,
  RoughReach,
  FinReach,
  ZTravel,
  RoughStickout,
  FinStickout,
  RoughHolder,
  FinHolder,
};

// The setting's key ("rough-rpm": the design file's word and the option's
// name without "--") and the label the window shows for it.
std::string_view settingKey(Setting setting);
std::string_view settingLabel(Setting setting);

// The limits, in the program's units.
inline constexpr double kMaxSpindleRpm = 100000;  // the fastest spindles of small routers turn 60000
inline constexpr double kMaxFeed = 100000;        // mm/min; no router moves faster than 100 m/min
inline constexpr double kMaxClearance = 1000;     // mm
inline constexpr double kMaxBlockHeight = 10000;  // mm, either side of Z 0
inline constexpr double kMaxTolerance = 10;       // mm
inline constexpr double kMaxScallop = 10;         // mm
inline constexpr double kMaxFlutes = 12;
inline constexpr double kMaxChipLoad = 5;       // mm per tooth
inline constexpr double kMaxToolLength = 1000;  // mm, flute length and Z travel alike
// Below this a tooth rubs rather than cuts: wood burns and edges dull.
inline constexpr double kLeastChipLoad = 0.08;  // mm per tooth

// A setting out of its range: `predicate` follows the setting's name,
// "must be above 0 and at most 1000 mm".
class SettingError : public std::runtime_error {
 public:
  SettingError(Setting setting, std::string predicate);
  Setting setting() const { return setting_; }
  // The message with the setting named by `name`; what() names it by its label.
  std::string text(const std::function<std::string(Setting)>& name) const;

 private:
  Setting setting_;
  std::string predicate_;
};

// The label in quotes: “Clearance / mm”.
std::string quotedSettingLabel(Setting setting);

// The word a program writes for a speed or a feed: a plain decimal of at
// most four decimals ("12000", "0.5"), never an exponent.
std::string machineNumber(double value);

// Whether a speed or feed is above 0, at most `max`, and not written as
// zero.
bool rateWritable(double value, double max);

// The first setting out of its range, or nothing. The tolerance and the
// scallop are also checked against the tools when the shop job reads them.
std::optional<SettingError> settingProblem(const ShopSettings& settings);

// Raises the SettingError of settingProblem().
void checkSettings(const ShopSettings& settings);

}  // namespace ventaro
