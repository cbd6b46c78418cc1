// The machine controllers a program is written for, and what every program
// for one must respect: the longest line it reads.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "core/run_error.h"

namespace ventaro {

enum class Controller { Plain, LinuxCnc, Grbl };

std::optional<Controller> controllerByName(std::string_view name);  // "plain", "linuxcnc", "grbl"
std::string_view controllerName(Controller controller);

// The longest line each controller reads, without its line end: GRBL's line
// buffer, and what LinuxCNC's interpreter takes before it reports "Command
// too long". LinuxCNC reads 252 characters with the line end, and keeps the
// CR of a CR LF end in the line, so a saved line holds 251.
inline constexpr std::size_t kGrblLineLimit = 80;
inline constexpr std::size_t kLinuxCncLineLimit = 251;

// The characters a line takes in the saved file (Windows-1252: one byte each).
std::size_t savedLength(std::string_view line);

// A program that the chosen controller would not run as written. Where a
// field is to blame (a feed), the text names it between `before` and
// `after`, so that each client can name it its own way.
class ControllerError : public FieldTextError {
 public:
  using FieldTextError::FieldTextError;
};

}  // namespace ventaro
