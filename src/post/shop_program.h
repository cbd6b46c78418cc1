// The shop job's program for LinuxCNC or GRBL. Millimetres, absolute
// coordinates, the XY plane, feeds per minute; every tool is fitted after a
// retract to the clearance height with the spindle stopped, and started
// before its first cut; rapid moves only at the clearance height; the
// program ends with the tool retracted, the spindle stopped and M2.
// Coordinates carry four decimals, not cut to a width.
#pragma once

#include <string>

#include "post/controller_profile.h"
#include "toolpath/shop_job.h"
#include "toolpath/toolpath.h"

namespace ventaro {

// The program text: lines joined by CR LF, no line break at either end, as
// the plain program's. Raises ShopError for the plain controller, and for
// GRBL when a line would not fit its 80 characters.
std::string shopProgram(const ShopPlan& plan, Controller controller);

// A number for a feed, a speed or a size: up to four decimals, no trailing
// zeros ("1200", "0.01", "14.8").
std::string shortNumber(double value);

}  // namespace ventaro
