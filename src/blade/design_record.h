// What one computation placed, station by station, for the outputs that sit
// beside the program (station table, report, preview). It is filled through
// the computation's own observer hooks, so every value is the one the
// program was written from, not a second model of the blade.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "gcode/compute.h"

namespace ventaro {

struct StationRecord {
  int index = 0;
  BladeStation station;
  float x = 0;  // StationX, millimetres
  // Placed points by section index j (1 to 18); entry 0 is unused.
  std::array<PlacedPoint, SectionTable::kUpper + 1> points{};
};

struct DesignRecord {
  std::vector<StationRecord> roughing;
  std::vector<StationRecord> finishing;

  const std::vector<StationRecord>& sweep(Sweep s) const { return s == Sweep::Roughing ? roughing : finishing; }
};

// Records every station and placed point; passes every hook on to `next`
// (when given), so a front end can keep its own progress display.
class DesignRecorder : public ComputeObserver {
 public:
  explicit DesignRecorder(ComputeObserver* next = nullptr) : next_(next) {}

  void progress(const std::string& figure) override;
  void station(Sweep sweep, int index, const BladeStation& station, float x) override;
  void point(Sweep sweep, int index, int j, const PlacedPoint& point) override;

  const DesignRecord& record() const { return record_; }

 private:
  ComputeObserver* next_;
  DesignRecord record_;
};

}  // namespace ventaro
