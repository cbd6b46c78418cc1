// The program header (the rotor design as comment lines) and the two tool
// blocks. Field texts go into these lines exactly as typed; only the
// finishing tool diameter is written as the number text of its single.
#pragma once

#include <string>
#include <string_view>

#include "core/job_parameters.h"

namespace ventaro {

// Replaces `program` with the five header lines.
void writeHeader(std::string& program, const BladeParameters& p);

// Appends the comments of both tools, G64, T1 and the roughing feed line.
void appendRoughingToolBlock(std::string& program, const BladeParameters& p, std::string_view roughFeed);

// Appends the finishing feed line, the T2 comment (which ends with a blank)
// and T2.
void appendFinishingToolBlock(std::string& program, const BladeParameters& p, std::string_view finishFeed);

}  // namespace ventaro
