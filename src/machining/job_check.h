// The material-removal check of a run's program: its block and target from
// the same computation, the tools' shapes from the shop settings and their
// diameters from the tool fields; its figures and its picture. The command
// line's --check and the window's View > Check both come here.
#pragma once

#include <stdexcept>
#include <string>

#include "machining/job_run.h"

namespace ventaro {

inline constexpr double kDefaultCheckGrid = 0.5;  // mm, the check's cell size

struct JobCheck {
  std::string text;     // the figures, lines ending in "\n"
  bool hazard = false;  // a rapid move through material or a cut below the target beyond the tolerance
  std::string picture;  // the milled block as PNG bytes, when asked for
};

// A grid with more cells than the check takes; each client tells its own
// way to choose a coarser one.
class CheckGridError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Checks the program of a run made with its outputs, on cells of `grid` mm.
// Raises ShopError, ToolpathError, RunError or CheckGridError when it cannot
// be checked.
JobCheck checkJob(const JobRun& run, double grid, bool picture);

}  // namespace ventaro
