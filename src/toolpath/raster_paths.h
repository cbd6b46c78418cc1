// The raster both tools of the shop job follow: straight lines across the
// chord (along Y) at X positions a stepover apart, joined along the block's
// two long edges. The tool tip's height over every line and edge is worked
// out once (by drop-cutter); a pass over the raster at a given level then
// keeps the tip at that level or on those heights, whichever is higher.
#pragma once

#include <array>
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
  std::vector<std::vector<ProfileSample>> lines;      // per X position, s = y - y0
  std::array<std::vector<ProfileSample>, 2> edges;    // along y0 and y1, s = x - xs.front()
  std::array<std::vector<std::size_t>, 2> edgeIndex;  // the sample of each X position in edges[e]
};

// Samples the tip height `tipZ(x, y)` over the lines and the edges.
RasterHeights sampleRaster(std::vector<double> xs, double y0, double y1, double step, double refine, double rise,
                           const std::function<double(double, double)>& tipZ);
// The same for lines already sampled (one per X position, s = y - y0):
// only the edges are sampled.
RasterHeights rasterOfLines(std::vector<double> xs, std::vector<std::vector<ProfileSample>> lines, double y0, double y1,
                            double step, double refine, double rise, const std::function<double(double, double)>& tipZ);

// A plunge is fed at the plunge feed, a cut at the tool's feed; a rapid
// move goes through the air.
enum class PathMoveKind { Plunge, Cut, Rapid };

struct PathMove {
  PathMoveKind kind;
  Vec3 to;
};

// Writes passes over a raster as moves. The first pass begins with a plunge
// to its start; every later pass starts where the one before ended, or is
// reached along the edge the tool stands on, and begins with a plunge.
class RasterWriter {
 public:
  RasterWriter(const RasterHeights& raster, double tol, std::vector<PathMove>& out);

  // One pass at `level` over the lines first to last (indices, either way
  // round). The first line runs from the edge the tool stands on (from y0
  // for the first pass).
  void pass(double level, std::size_t first, std::size_t last);

  // The line the tool stands on after the last pass.
  std::size_t line() const { return line_; }

 private:
  void alongLine(std::size_t i, double level);
  void alongEdge(std::size_t from, std::size_t to, double level);
  void cutTo(const Vec3& p);

  const RasterHeights& raster_;
  double tol_;
  std::vector<PathMove>& out_;
  bool started_ = false;
  std::size_t line_ = 0;
  int edge_ = 0;      // 0: at y0, 1: at y1
  double level_ = 0;  // of the last pass
  std::vector<double> clamped_;
};

}  // namespace ventaro
