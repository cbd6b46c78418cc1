// The material-removal check of a run's program: its block and target from
// the same computation, the tools' shapes from the shop settings and their
// diameters from the tool fields; its figures and its picture. The command
// line's --check and the window's View > Check both come here.
#pragma once

#include <stdexcept>
#include <string>

#include "files/job_run.h"

namespace ventaro {

// The check's cell size, mm: 0.5, or a quarter of the smaller tool's radius
// where that is finer. A cell wider than that could fall between the
// positions of a small tool, and a rapid move through material would go
// unseen.
inline constexpr double kDefaultCheckGrid = 0.5;
inline constexpr double kToolRadiiPerCell = 4;

struct JobCheck {
  std::string text;     // the figures, lines ending in "\n"
  bool hazard = false;  // a rapid move through material or a cut below the target beyond the tolerance
  std::string picture;  // the milled block as an SVG page, when asked for
};

// A grid with more cells than the check takes, or cells too coarse for the
// tools; each client tells its own way to choose another.
class CheckGridError : public std::runtime_error {
 public:
  CheckGridError(const std::string& what, bool coarse) : std::runtime_error(what), coarse_(coarse) {}
  bool coarse() const { return coarse_; }

 private:
  bool coarse_;
};

// Checks the program of a run made with its outputs, on cells of `grid` mm
// (0: the default cell size for its tools). Raises ShopError, ToolpathError,
// RunError or CheckGridError when it cannot be checked. Reports to `monitor`
// (may be null), which may stop it.
JobCheck checkJob(const JobRun& run, double grid, bool picture, WorkMonitor* monitor = nullptr);

}  // namespace ventaro
