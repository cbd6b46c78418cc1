// Drop-cutter: where a tool standing upright over a point must stop when
// lowered onto the target surface. The tool touches the surface and does
// not enter it: a ball-nose touches with its half sphere, a flat end mill
// rests its disk on the highest point under its footprint. The answer is
// exact for the triangles of the surface: each triangle is met either on its
// face, on one of its edges or at a corner, and the highest of these
// contacts is where the tool stops.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "blade/target_surface.h"
#include "machine/shop_settings.h"

namespace ventaro {

struct Cutter {
  ToolShape shape = ToolShape::Flat;
  double radius = 0;  // millimetres
};

// The tool tip's Z (the lowest point of the tool) at which the tool over
// (x, y) touches the triangle; minus infinity when the triangle does not lie
// under the tool at all.
double dropOnTriangle(const SurfaceTriangle& triangle, const Cutter& cutter, double x, double y);

// Drop-cutter against a whole surface, testing only the triangles within
// the tool's reach: a grid of its own lists, for each cell, the triangles
// that a tool standing anywhere in the cell could touch, highest first.
class DropCutter {
 public:
  DropCutter(const TargetSurface& surface, Cutter cutter);

  // The tool tip's Z over (x, y); minus infinity when no part of the surface
  // lies under the tool.
  double tipZ(double x, double y) const;

  const Cutter& cutter() const { return cutter_; }

 private:
  std::pair<int, int> cellIndex(double x, double y) const;  // column, row

  const TargetSurface* surface_;
  Cutter cutter_;
  double cell_ = 4;  // millimetres
  int cols_ = 0, rows_ = 0;
  std::vector<std::uint32_t> cellStart_;  // cols_ * rows_ + 1 offsets into cellItems_
  std::vector<std::uint32_t> cellItems_;  // triangle indices, cell by cell
};

}  // namespace ventaro
