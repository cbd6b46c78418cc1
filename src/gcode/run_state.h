// The working state of one computation: created when it starts, dropped when
// it ends. Nothing of it carries over to the next computation.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "core/blade_stations.h"
#include "core/job_parameters.h"
#include "core/section_placement.h"
#include "core/section_table.h"
#include "gcode/compute.h"

namespace ventaro {

inline constexpr int kPassSlots = 5;

struct RunState {
  RunState(const JobFields& f, const SectionTable& t, ComputeObserver* o)
      : fields(f), table(t), observer(o), p(readParameters(f)) {}

  const JobFields& fields;
  const SectionTable& table;
  ComputeObserver* observer;

  BladeParameters p;
  float StockAllowance = 0;
  float ProgressStep = 0;
  float ProgressTotal = 0;
  bool AscendNext = false;
  std::unique_ptr<StationTable> stations = std::make_unique<StationTable>();
  std::array<std::string, kPassSlots> RoughPass;
  std::optional<float> MaxZ;  // no value until a placed Z rises above 0
  float MaxZX = 0;

  // The zig-zag: every station flips the flag before its first point; true
  // means leading edge first (ascending table order).
  bool takeAscending() {
    const bool ascending = AscendNext;
    AscendNext = !AscendNext;
    return ascending;
  }

  // Adds the step to the running sum in single precision and reports the
  // figure: the first five characters of its number text and "%".
  void progressUpdate();
};

}  // namespace ventaro
