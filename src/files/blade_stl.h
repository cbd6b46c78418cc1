// The blade for the maker: as a closed solid for a slicer, a CAD program or a viewer: its
// upper and lower surfaces from the hub to the tip, closed by the root's and
// the tip's sections, in millimetres in the blade frame (X the radius, Y
// across the stock, Z up), as binary STL.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "blade/blade_model.h"

namespace ventaro {

// Sections at most `spacing` mm apart from the hub to the tip.
std::string bladeStl(const BladeModel& blade, double spacing = 5);

// The section templates at the radii (mm) given, or by default five evenly
// from where the airfoil begins (the hub, or past a root block) to the tip:
// for a `path` ending in .pdf one file of A4 pages; otherwise one SVG file
// per page, named after `path` with -1, -2, ... before its extension.
std::vector<std::pair<std::string, std::string>> templateFiles(const BladeModel& blade, const std::string& path,
                                                               const std::vector<double>& radii = {});

}  // namespace ventaro
