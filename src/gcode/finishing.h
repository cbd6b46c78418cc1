// The finishing pass: one linear move to every placed section point of every
// finishing station, hub outwards, the chordwise direction alternating from
// station to station, straight into the program text.
#pragma once

#include "gcode/run_state.h"

namespace ventaro {

// Computes, places and writes stations 0 to lastStation; a progress update
// after each station.
void finishingPass(RunState& run, int lastStation, std::string& program);

}  // namespace ventaro
