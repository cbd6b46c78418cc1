// Long work (laying out a shop job, checking a program) says how far it has
// come and can be stopped between two of its steps: a window runs it on a
// thread of its own and shows the figure with a Cancel button.
#pragma once

#include <stdexcept>

namespace ventaro {

// Raised out of the work when it was asked to stop; nothing it was making
// is handed over.
class WorkCancelled : public std::runtime_error {
 public:
  WorkCancelled() : std::runtime_error("cancelled") {}
};

class WorkMonitor {
 public:
  virtual ~WorkMonitor() = default;
  // How much of the work is done, from 0 to 1. Raises WorkCancelled when
  // the work is to stop.
  virtual void advance(double done) = 0;
};

// Reports one part of a larger piece of work: `done` of the part maps to
// from + done × (to - from) of the whole. A null monitor reports nothing.
class WorkPart {
 public:
  WorkPart(WorkMonitor* monitor, double from, double to) : monitor_(monitor), from_(from), to_(to) {}
  void advance(double done) const {
    if (monitor_ != nullptr) monitor_->advance(from_ + (done < 0 ? 0 : done > 1 ? 1 : done) * (to_ - from_));
  }

 private:
  WorkMonitor* monitor_;
  double from_, to_;
};

// A part of a larger piece of work handed to work that reports to a monitor
// of its own: it reports `done` as WorkPart does.
class PartMonitor : public WorkMonitor {
 public:
  PartMonitor(WorkMonitor* monitor, double from, double to) : part_(monitor, from, to) {}
  void advance(double done) override { part_.advance(done); }

 private:
  WorkPart part_;
};

}  // namespace ventaro
