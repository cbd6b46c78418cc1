// The roughing passes: every pass follows the same zig-zag over the roughing
// stations, at a height that starts at the full stock allowance above the
// designed surface and drops by the roughing depth from pass to pass.
#pragma once

#include "gcode/run_state.h"

namespace ventaro {

// The height of material above the designed surface at which the first pass
// cuts: RoughDepth * passes + FinishDepth, rounded to single.
float formStockAllowance(const BladeParameters& p);

// Walks stations 0 to lastStation (already in the station table), places
// every point, keeps the highest one and what every pass's line at that
// point needs (its X and Y words, its first-pass Z, each pass's Z checked to
// fit its word); a progress update after each station.
void roughingWalk(RunState& run, int lastStation);

// Writes each pass: its comment, its lines, and a rapid move 5 mm above the
// highest roughing point of that pass.
void writePasses(RunState& run);

}  // namespace ventaro
