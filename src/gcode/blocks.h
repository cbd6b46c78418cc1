// The program header (the rotor design as comment lines) and the two tool
// blocks. Field texts go into these lines as typed, but for a parenthesis
// in a comment, written as a square bracket; only the finishing tool
// diameter is written as the number text of its single.
#pragma once

#include <string_view>

#include "core/job_parameters.h"
#include "gcode/program_writer.h"

namespace ventaro {

// The five header lines.
void writeHeader(ProgramWriter& out, const BladeParameters& p);

// The comments of both tools, the program start, T1 and the roughing feed.
void writeRoughingToolBlock(ProgramWriter& out, const BladeParameters& p, std::string_view roughFeed);

// The pause for the finishing tool, the finishing feed line, the T2 comment
// (which ends with a blank) and T2.
void writeFinishingToolBlock(ProgramWriter& out, const BladeParameters& p, std::string_view finishFeed);

}  // namespace ventaro
