// The working state of one computation: created when it starts, dropped when
// it ends. Nothing of it carries over to the next computation.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/blade_stations.h"
#include "core/job_parameters.h"
#include "core/section_placement.h"
#include "core/section_table.h"
#include "gcode/compute.h"
#include "gcode/program_writer.h"

namespace ventaro {

inline constexpr int kPassSlots = 5;

struct RunState {
  RunState(const JobFields& f, const SectionTable& t, ComputeObserver* o, ProgramWriter& w)
      : fields(f), table(t), observer(o), out(w), p(readParameters(f)) {}

  const JobFields& fields;
  const SectionTable& table;
  ComputeObserver* observer;
  ProgramWriter& out;

  BladeParameters p;
  float StockAllowance = 0;
  float ProgressStep = 0;
  float ProgressTotal = 0;
  bool AscendNext = false;
  std::unique_ptr<StationTable> stations = std::make_unique<StationTable>();
  // The roughing passes, gathered in one walk over the stations and written
  // pass after pass: the X word of each station, the Y word of each point
  // (the same in every pass) and the first pass's Z of each point, from
  // which every pass's Z follows.
  std::vector<CoordWord> RoughX;
  std::vector<CoordWord> RoughY;
  std::vector<double> RoughSurface;
  std::optional<float> MaxZ;  // no value until a placed Z rises above 0
  float MaxZX = 0;

  // The zig-zag: every station flips the flag before its first point; true
  // means leading edge first (ascending table order).
  bool takeAscending() {
    const bool ascending = AscendNext;
    AscendNext = !AscendNext;
    return ascending;
  }

  // The section points of one station.
  int pointsPerStation() const { return table.upper() - table.lower() + 1; }

  // Adds the step to the running sum in single precision and reports the
  // figure: the first five characters of its number text and "%".
  void progressUpdate();
};

}  // namespace ventaro
