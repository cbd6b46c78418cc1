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
#include "machine/controller.h"
#include "machine/shop_settings.h"

namespace ventaro {

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

}  // namespace ventaro
