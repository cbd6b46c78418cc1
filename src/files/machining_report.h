// The machining report: a plain-text summary of one program for the person
// at the machine. Moves, path lengths, times and boxes are read from the
// program's own move lines (what the controller runs); the station warnings
// and spacings come from the stations the same computation placed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "blade/design_record.h"
#include "check/program_moves.h"

namespace ventaro {

// "0 to 12, 15, 17 to 20" for ascending station indices.
std::string stationRanges(const std::vector<int>& indices);

// The whole report, lines ending in "\n": `moves` read from the program as
// written, `p` the parameters read from `fields` for the same run. A warning
// that asks the user to change a field names it by `name`, the client's own
// way to name a field.
std::string machiningReport(const ProgramMoves& moves, const DesignRecord& record, const JobFields& fields,
                            const BladeParameters& p, const SectionTable& table, const FieldNamer& name = quotedLabel);

}  // namespace ventaro
