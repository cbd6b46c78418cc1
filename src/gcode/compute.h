// One whole computation, exactly as "Compute" runs it: from the job field
// texts to the program text, reporting a progress figure after every station.
#pragma once

#include <string>

#include "core/blade_stations.h"
#include "core/job_parameters.h"
#include "core/run_error.h"
#include "core/section_placement.h"
#include "core/section_table.h"
#include "gcode/program_writer.h"

namespace ventaro {

// Told about a computation as it goes. The figures arrive in the order the
// stations finish; a figure reported before an error stays reported.
class ComputeObserver {
 public:
  virtual ~ComputeObserver() = default;
  // "0.4%", ..., "53.60%": the text of the progress field.
  virtual void progress(const std::string& figure) { (void)figure; }
  // A station about to be placed, with its X in millimetres.
  virtual void station(Sweep sweep, int index, const BladeStation& station, float x) {
    (void)sweep, (void)index, (void)station, (void)x;
  }
  // One placed section point of the station last announced.
  virtual void point(Sweep sweep, int index, int j, const PlacedPoint& point) {
    (void)sweep, (void)index, (void)j, (void)point;
  }
};

// Runs the computation and writes the program to `out`, operation by
// operation. A failed run raises RunError (or whatever the writer raises)
// where it fails; what the writer took until then is for it to drop.
void compute(const JobFields& fields, const SectionTable& table, ProgramWriter& out,
             ComputeObserver* observer = nullptr);

// The plain program's text (lines joined by CR LF, no line break at either
// end). It is built in a buffer of its own and only handed over when the run
// succeeds: a failed run raises RunError and leaves whatever program the
// caller holds as it was.
std::string compute(const JobFields& fields, const SectionTable& table, ComputeObserver* observer = nullptr);

// The progress figure as the progress field shows it: the first five
// characters of the number text of the single, followed by "%".
std::string progressFigure(float total);

}  // namespace ventaro
