// The finishing pass: one linear move to every placed section point of every
// finishing station, hub outwards, the chordwise direction alternating from
// station to station, written as each point is placed.
#pragma once

#include "gcode/run_state.h"

namespace ventaro {

// Computes, places and writes stations 0 to lastStation; a progress update
// after each station.
void finishingPass(RunState& run, int lastStation);

}  // namespace ventaro
