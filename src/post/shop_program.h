// The shop job's programs for LinuxCNC or GRBL. Millimetres, absolute
// coordinates, the XY plane, feeds per minute; every tool is fitted after a
// retract to the clearance height with the spindle stopped, and started
// before its first cut; rapid moves only at the clearance height; the
// program ends with the tool retracted, the spindle stopped and M2.
// Coordinates carry four decimals, not cut to a width.
#pragma once

#include <string>
#include <vector>

#include "machine/controller.h"
#include "toolpath/shop_job.h"

namespace ventaro {

// A program file of the job: its text (lines joined by CR LF, no line break
// at either end, as the plain program's) and what its file name adds before
// the extension ("-T1"; nothing for a job of one file).
struct ProgramPart {
  std::string suffix;
  std::string text;
};

// The job's programs: one for LinuxCNC, which changes its tools; one per
// tool for GRBL, which has no tool change: each starts with its tool fitted
// and its zero set, so that the operator sets the zero with the controller's
// own means between programs instead of at a stop in the middle of one.
// Raises ShopError for the plain controller, and ControllerError for a line
// the controller could not read.
std::vector<ProgramPart> shopPrograms(const ShopPlan& plan, Controller controller);
// The same titled `what` ("Blade from a plank, side A") in place of "Blade
// from its block".
std::vector<ProgramPart> shopPrograms(const ShopPlan& plan, Controller controller, const std::string& what);

// The programs' texts joined into one, in order (CR LF between them): what
// the check, the report and the window read.
std::string joinedProgram(const std::vector<ProgramPart>& parts);

// The joined programs of the job.
std::string shopProgram(const ShopPlan& plan, Controller controller);

}  // namespace ventaro
