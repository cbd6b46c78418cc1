// One run of ventaro-gcode after its options are parsed: station counts,
// computation, output and the progress line.
#pragma once

#include "cli/options.h"

namespace ventaro::cli {

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // the computation or the writing failed
inline constexpr int kExitUsage = 2;   // bad command line
inline constexpr int kExitHazard = 3;  // the check found a hazard; the program is still written

// Runs the whole program for parsed options: fills the station counts not
// given from the rotor and tool fields (as the window's station fields hold
// them once the tool fields were typed), computes, writes the program and
// the progress line. Reports failures on standard error and returns the
// exit status.
int runGenerator(CliOptions options);

// Writes a line (a newline is added) to standard error.
void printError(std::string_view line);

}  // namespace ventaro::cli
