// The raster both tools of the shop job follow: straight lines across the
// chord (along Y) at X positions along the span. The tool tip's height over
// every line is worked out once (by drop-cutter); each pass over a line
// then keeps the tip on those heights or at a level, whichever is higher.
#pragma once

#include <functional>
#include <vector>

#include "blade/target_surface.h"
#include "toolpath/line_profile.h"

namespace ventaro {

// X positions from x0 to x1, both included, evenly spaced no more than
// `stepover` apart.
std::vector<double> rasterPositions(double x0, double x1, double stepover);

struct RasterHeights {
  std::vector<double> xs;
  double y0 = 0, y1 = 0;
  std::vector<std::vector<ProfileSample>> lines;  // per X position, s = y - y0
};

// Samples the tip height `tipZ(x, y)` over the lines from y0 to y1.
RasterHeights sampleRaster(std::vector<double> xs, double y0, double y1, double step, double refine, double rise,
                           const std::function<double(double, double)>& tipZ);

// A plunge is fed at the plunge feed, a cut at the tool's feed; a rapid
// move goes through the air.
enum class PathMoveKind { Plunge, Cut, Rapid };

struct PathMove {
  PathMoveKind kind;
  Vec3 to;
};

}  // namespace ventaro
