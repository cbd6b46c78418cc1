// Drop-cutter: where a tool standing upright over a point must stop when
// lowered onto the target surface. The tool touches the surface and does
// not enter it: a ball-nose touches with its half sphere, a flat end mill
// rests its disk on the highest point under its footprint. The answer is
// exact for the triangles of the surface: each triangle is met either on its
// face, on one of its edges or at a corner, and the highest of these
// contacts is where the tool stops.
#pragma once

#include <cstdint>
#include <limits>
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
// under the tool at all. A contact at or below `floor` may be answered with
// minus infinity: the caller already has one as high.
double dropOnTriangle(const SurfaceTriangle& triangle, const Cutter& cutter, double x, double y,
                      double floor = -std::numeric_limits<double>::infinity());

// Drop-cutter against a whole surface, testing only the triangles within
// the tool's reach: a grid of its own lists, for each cell, the triangles
// that a tool standing anywhere in the cell could touch, ordered by the
// highest each could hold the tool from there.
class DropCutter {
 public:
  DropCutter(const TargetSurface& surface, Cutter cutter);

  // Where the last drop along a path found its contact. Neighbouring
  // positions mostly rest on the same triangle or one beside it: trying it
  // first gives a height so close to the answer that most triangles can be
  // passed over unopened. The answer does not depend on the hint.
  struct Hint {
    std::uint32_t triangle = kNoTriangle;
  };
  static constexpr std::uint32_t kNoTriangle = 0xffffffffu;

  // The tool tip's Z over (x, y); minus infinity when no part of the surface
  // lies under the tool. A hint, when given, is read and then updated.
  double tipZ(double x, double y, Hint* hint = nullptr) const;

  const Cutter& cutter() const { return cutter_; }

 private:
  std::pair<int, int> cellIndex(double x, double y) const;  // column, row

  const TargetSurface* surface_;
  Cutter cutter_;
  double cell_ = 4;  // millimetres
  int cols_ = 0, rows_ = 0;
  std::vector<std::uint32_t> cellStart_;  // cols_ * rows_ + 1 offsets into cellItems_
  // A triangle a tool standing in a cell may reach, with the highest it can
  // hold the tool from anywhere in the cell.
  struct Item {
    float bound;
    std::uint32_t triangle;
  };
  std::vector<Item> cellItems_;  // cell by cell, highest bound first
  // What the search reads of every triangle it passes, side by side in one
  // cache line each, so that passing over a triangle does not fetch it.
  struct Bounds {
    double xlo, xhi, ylo, yhi, zhi;
    double planeA, planeB, planeC;  // planeA is NaN for an upright triangle
    double planeLift;               // a ball's tip above its plane, resting on it
  };
  std::vector<Bounds> bounds_;
};

}  // namespace ventaro
