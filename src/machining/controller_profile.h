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
#include "core/run_error.h"
#include "core/section_table.h"
#include "gcode/compute.h"
#include "gcode/file_bytes.h"
#include "machining/shop_settings.h"

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

// A program that the chosen controller would not run as written. Where a
// field is to blame (a feed), the text names it between `before` and
// `after`, so that each client can name it its own way.
class ControllerError : public FieldTextError {
 public:
  using FieldTextError::FieldTextError;
};

// Runs the computation with the controller's writer and returns the program
// text (lines joined by CR LF, no break at either end). Of the machine
// settings a profile takes the spindle speeds and the clearance, so both
// jobs start from the same defaults. Raises RunError as the computation
// does, and ControllerError for a program the controller would not run.
std::string programFor(Controller controller, const JobFields& fields, const SectionTable& table,
                       ComputeObserver* observer = nullptr, const ShopSettings& settings = {});
// The same program as the bytes of its file (those programFileBytes makes
// of the text), written directly.
FileBytes programFileFor(Controller controller, const JobFields& fields, const SectionTable& table,
                         ComputeObserver* observer = nullptr, const ShopSettings& settings = {});

// The characters a line takes in the saved file (Windows-1252: one byte each).
std::size_t savedLength(std::string_view line);

}  // namespace ventaro
