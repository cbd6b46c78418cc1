// The blade as a closed solid for a slicer, a CAD program or a viewer: its
// upper and lower surfaces from the hub to the tip, closed by the root's and
// the tip's sections, in millimetres in the blade frame (X the radius, Y
// across the stock, Z up), as binary STL.
#pragma once

#include <string>

#include "blade/blade_model.h"

namespace ventaro {

// Sections at most `spacing` mm apart from the hub to the tip.
std::string bladeStl(const BladeModel& blade, double spacing = 5);

}  // namespace ventaro
