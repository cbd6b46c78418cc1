// The station count of a pass, worked out from its tool: how many stepover
// widths of the tool fit into the blade span from the hub to the tip.
#pragma once

#include <string>
#include <string_view>

#include "core/job_parameters.h"

namespace ventaro {

enum class Tool { Roughing, Finishing };

// ((D / 2 - HubRad) * 100000 / ToolDiameter) / Stepover, every text read as
// a double at its use, in the order D, hub radius, tool diameter, stepover;
// raises the error of the first step that fails. Not rounded, not range
// checked: a hub beyond the tip gives a negative count.
double stationCount(std::string_view d, std::string_view hubRad, std::string_view toolDia, std::string_view stepover,
                    Tool tool);

// The count as its station field holds it ("100", "84.5714285714286").
std::string stationCountText(const JobFields& fields, Tool tool);

// The station field that a tool's count is written to.
inline Field stationField(Tool tool) { return tool == Tool::Roughing ? Field::STNrough : Field::STNfinish; }

}  // namespace ventaro
