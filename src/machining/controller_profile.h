// The program as a particular machine controller wants it. "plain" is the
// window's program, byte for byte. The other profiles are writers that add
// what their controller needs around the same operations (see
// controller_writer.h); no move line of the plain program changes.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/job_parameters.h"
#include "core/section_table.h"
#include "gcode/compute.h"

namespace ventaro {

enum class Controller { Plain, LinuxCnc, Grbl };

std::optional<Controller> controllerByName(std::string_view name);  // "plain", "linuxcnc", "grbl"
std::string_view controllerName(Controller controller);

// The longest line each controller reads: GRBL's line buffer, and what
// LinuxCNC's interpreter takes before it reports "Command too long".
inline constexpr std::size_t kGrblLineLimit = 80;
inline constexpr std::size_t kLinuxCncLineLimit = 252;

// A program that the chosen controller would not run as written.
class ControllerError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What a profile adds to the moves of the plain job. The defaults suit a
// wood router: 18000 revolutions per minute for both tools, and rapid moves
// 10 mm above the highest point the program has cut so far before a pause,
// a tool change and the end.
struct ProfileSettings {
  double roughRpm = 18000;
  double finishRpm = 18000;
  double clearance = 10;
};

// Runs the computation with the controller's writer and returns the program
// text (lines joined by CR LF, no break at either end). Raises RunError as
// the computation does, and ControllerError for a program the controller
// would not run.
std::string programFor(Controller controller, const JobFields& fields, const SectionTable& table,
                       ComputeObserver* observer = nullptr, const ProfileSettings& settings = {});

// The characters a line takes in the saved file (Windows-1252: one byte each).
std::size_t savedLength(std::string_view line);

}  // namespace ventaro
