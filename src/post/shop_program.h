// The shop job's program for LinuxCNC or GRBL. Millimetres, absolute
// coordinates, the XY plane, feeds per minute; every tool is fitted after a
// retract to the clearance height with the spindle stopped, and started
// before its first cut; rapid moves only at the clearance height; the
// program ends with the tool retracted, the spindle stopped and M2.
// Coordinates carry four decimals, not cut to a width.
#pragma once

#include <string>

#include "machine/controller.h"
#include "toolpath/shop_job.h"

namespace ventaro {

// The program text: lines joined by CR LF, no line break at either end, as
// the plain program's. Raises ShopError for the plain controller, and
// ControllerError for a line the controller could not read.
std::string shopProgram(const ShopPlan& plan, Controller controller);

}  // namespace ventaro
