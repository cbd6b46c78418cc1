// The station count of a pass, worked out from its tool: how many stepover
// widths of the tool fit into the blade span from the hub to the tip.
#pragma once

#include <array>
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

// The count for a run that is given none and works it out from the tool,
// as the command line does. A count below 0 would place the stations
// outside the rotor, so it is an overflow error naming the field that makes
// it negative: the diameter below 0, the hub radius beyond the tip, or the
// tool's diameter or stepover below 0. The window shows such a count in its
// station field as it is; its run refuses it when the record is filled.
std::string derivedStationCountText(const JobFields& fields, Tool tool);

// The fields a tool's count is worked out from, in the order they are read:
// the rotor diameter, the hub radius, the tool's diameter and stepover.
std::array<Field, 4> countSources(Tool tool);

// The station field that a tool's count is written to.
inline Field stationField(Tool tool) { return tool == Tool::Roughing ? Field::STNrough : Field::STNfinish; }

}  // namespace ventaro
