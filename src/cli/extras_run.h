// The outputs of ventaro-gcode beside the program: the station table, the machining report and the preview
// picture. Everything is built in memory from the one computation before
// anything is written, so a failure leaves no half set of files.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/options.h"
#include "machining/job_run.h"

namespace ventaro::cli {

// Exit status of a run whose check found a hazard; the program is still written.
inline constexpr int kExitHazard = 3;

struct ExtraOutputs {
  std::vector<std::pair<std::string, std::string>> files;  // path, bytes; written with the program
  std::optional<std::string> reportText;                   // for standard output
  std::optional<std::string> checkText;                    // the check's figures (--check)
  bool checkToStandardOutput = false;                      //   there, else to standard error
  bool checkHazard = false;                                //   it found a hazard: exit status 3
};

// A combination of options that cannot work, e.g. the report and the program
// both on standard output.
std::optional<std::string> extrasUsageError(const CliOptions& options);

// Whether an output asked for is built from the stations the computation
// placed: a run without one need not record them.
bool needsDesignRecord(const CliOptions& options);

// Builds the outputs asked for beside the run's program, the check last.
// Returns the error text when one cannot be built.
std::optional<std::string> prepareExtras(const CliOptions& options, const JobRun& run, const SectionTable& table,
                                         ExtraOutputs& out);

}  // namespace ventaro::cli
