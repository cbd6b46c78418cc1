// The program as a particular machine controller wants it. "plain" is the
// window's program, byte for byte. The other profiles add what their
// controller needs around the same moves; no move line is changed.
//
// linuxcnc: "G21 G90" (millimetres, absolute) before G64, "M6" with each tool
//   call, an operator message and "M0" before the finishing block, "M2" at
//   the end.
// grbl: as linuxcnc, but without G64 (GRBL rejects it) and without M6 (GRBL
//   has no tool changer and rejects it too), and every line within 80
//   characters, GRBL's line buffer: a longer comment is shortened and ends
//   in "...", a longer line of any other kind is refused.
// Both refuse a feed text that is not a positive number, which the
// controller would reject in the middle of the job; and in a comment they
// turn parentheses into square brackets and control characters into blanks,
// since a parenthesis inside a comment ends it early or nests it.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace ventaro {

enum class Controller { Plain, LinuxCnc, Grbl };

std::optional<Controller> controllerByName(std::string_view name);  // "plain", "linuxcnc", "grbl"
std::string_view controllerName(Controller controller);

inline constexpr std::size_t kGrblLineLimit = 80;

// A program that the chosen controller would not run as written.
class ControllerError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The program text (lines joined by CR LF, no break at either end, as the
// computation returns it) for the controller. Raises ControllerError. The
// plain program is handed back as it came, without a copy when moved in.
std::string forController(std::string program, Controller controller);

// The characters a line takes in the saved file (Windows-1252: one byte each).
std::size_t savedLength(std::string_view line);

}  // namespace ventaro
