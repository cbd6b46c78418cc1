// The surface the shop job mills to: the designed upper surface of the blade
// over the whole block, as a set of triangles the tool paths are dropped on.
//
// The blade's sections (blade_model.h) are taken at radii close enough that
// the triangles between them depart from the blade by at most a quarter of
// the job's tolerance. In each section the 18 points are joined by straight
// lines; between two sections each pair of neighbouring points spans a
// quadrilateral, split into two triangles along its diagonal. Beyond the
// leading and trailing edges the surface stays at the level of the nearer
// edge, and beyond the hub and the tip it keeps their sections, out to a
// margin around the block. Where a twisted section folds back over itself
// the triangles overlap, and the surface is the highest of them.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <utility>
#include <vector>

#include "blade/blade_model.h"
#include "blade/shop_block.h"

namespace ventaro {

struct Vec3 {
  double x = 0, y = 0, z = 0;
};

// One edge as seen from above: from its start, the unit direction of its
// projection, the projection's length and the edge's rise per millimetre.
struct EdgeFrame {
  double ux = 0, uy = 0, length = 0, slope = 0;
  double secant = 1;  // sqrt(1 + slope^2)
};

struct SurfaceTriangle {
  Vec3 a, b, c;
  std::array<EdgeFrame, 3> edges;  // a to b, b to c, c to a
  Vec3 normal;                     // unit, pointing up (z >= 0)
  double xlo, xhi, ylo, yhi, zhi;  // bounds of its projection
  double planeA, planeB, planeC;   // z = A x + B y + C; unused when vertical
  // Barycentric weights of a and b for a point (x, y) of the projection:
  // u = u0 + ux x + uy y, v = v0 + vx x + vy y; unused when vertical.
  double u0, ux, uy, v0, vx, vy;
  bool vertical = false;  // no area seen from above

  // Whether (x, y) lies in the projection, give or take `slack` in the
  // barycentric weights.
  bool covers(double x, double y, double slack) const {
    const double u = u0 + ux * x + uy * y, v = v0 + vx * x + vy * y;
    return u >= -slack && v >= -slack && 1 - u - v >= -slack;
  }
};

// The most sections a target surface takes: a blade that needs more (a
// tolerance finer than its curvature allows) is refused.
inline constexpr std::size_t kMaxTargetSections = 200000;

// The side of the cells of a grid over an area for a tool reaching `reach`
// around it, in millimetres.
double gridCell(double width, double depth, double reach);

// The rows of points across the chord a surface follows at a radius: the
// blade's upper surface alone, or both surfaces of a closed section, of
// which the surface is the higher wherever they lie over one another.
using SectionRows = std::vector<Section>;
using SectionSource = std::function<SectionRows(double x)>;

// Where a closed section's outline lies across the plank: the Y of its
// points farthest to either side, with, for each, the Z below which the
// outline cut beside it begins: the lowest of the section's points within
// kOutlineEdge of that side. Where a side of the section stands nearly
// upright (a twisted root, a section fitted to the plank's width) which
// point is farthest out is a matter of hundredths; the lowest near it is
// not, and turned over with the plank it is the highest, so the cuts from
// both faces overlap by the whole side.
inline constexpr double kOutlineEdge = 1;  // mm
struct Outline {
  SectionPoint low, high;
};
Outline outlineOf(std::span<const Section> rows);

// The cut beside the outline of a face, on both sides: how deep it goes at
// each radius. Beside a side of the outline it lies `cutBelow` under the
// lowest point near that side (outlineOf) anywhere within `window` mm
// along the span: a tool no wider than that standing on the cut at one
// radius stands below the cut at every radius under it, so a cut made to
// this depth from one face and turned over from the other overlap beside
// the outline by twice `cutBelow`, less what each leaves above it. The cut
// goes no lower than the plank's underside, Z 0.
class OutlineFloors {
 public:
  // Reads the outline every `step` mm from `xa` to `xb`.
  OutlineFloors(const SectionSource& source, double xa, double xb, double window, double cutBelow, double step = 0.25);

  // The depth of the cut beside the low (Y) and the high side at x.
  double low(double x) const { return at(lowFloor_, x); }
  double high(double x) const { return at(highFloor_, x); }
  // The highest it lies from xa to xb: a surface that joins its sections
  // straight stands on the cut nowhere below it when each section takes
  // this from the one before to the one after.
  double lowOver(double xa, double xb) const { return over(lowFloor_, xa, xb); }
  double highOver(double xa, double xb) const { return over(highFloor_, xa, xb); }

  // The outline as read: where each reading lies and what it found.
  const std::vector<double>& xs() const { return xs_; }
  const std::vector<Outline>& outlines() const { return outlines_; }
  double step() const { return step_; }

 private:
  double at(const std::vector<double>& floor, double x) const;
  double over(const std::vector<double>& floor, double xa, double xb) const;

  double xa_, step_;
  std::vector<double> xs_;
  std::vector<Outline> outlines_;
  std::vector<double> lowFloor_, highFloor_;
};

// The two faces of a plank that a two-sided job mills: side A from above,
// side B after the plank is turned over about the span (X) axis.
enum class PlankFace { Top, Bottom };

// The closed section as a face of a plank `width` by `thickness` mm sees
// it from above: its upper and lower surfaces as placed for the top; for
// the bottom both turned over with the plank (Y to width - Y, Z to
// thickness - Z). The surface over them is the higher of the two: the top
// of the closed section on side A, its bottom on side B, the nose of a
// twisted root that leans past the leading edge included. Past the tip its
// section reaches on (a tab that holds the tip) up to `endFrom`, from where
// the plank's end stays whole. Keeps `blade`.
SectionSource plankFace(const BladeModel& blade, PlankFace face, double width, double thickness, double endFrom);

class TargetSurface {
 public:
  TargetSurface() = default;
  // Builds the surface of the blade within `tolerance` / 4 mm. The block
  // gives the X and Y extents (its top is not used); `margin` is how far
  // around the block the surface is laid out, at least the largest tool
  // radius, so that a tool on the block's edge finds surface under all of
  // its footprint. Raises ShopError when the blade would take more sections
  // than kMaxTargetSections.
  TargetSurface(const BladeModel& blade, const Block& block, double margin, double tolerance);
  // The same for the rows `source` gives (as many at every radius), which
  // keep the rows at `hubX` short of it and those at `tipX` beyond it.
  // With an outline cut, the surface beyond the outline (the rows' points
  // farthest to either side) does not stay at the edge's level but falls,
  // right at the outline, to the cut's depth: milled from both faces of a
  // plank, the material beside the blade is cut through. Keeps `cut`.
  TargetSurface(const SectionSource& source, double hubX, double tipX, const Block& block, double margin,
                double tolerance, const OutlineFloors* cut = nullptr);

  // A surface of given triangles (corners a, b, c each), laid out over their
  // own bounds: for surfaces with known shapes.
  static TargetSurface fromTriangles(const std::vector<std::array<Vec3, 3>>& corners);

  // The height of the surface at a point of the block (or of the margin
  // around it): the highest triangle over the point. A point outside the
  // laid-out area takes the height of the nearest point inside it.
  double heightAt(double x, double y) const;

  // The same without the nearest point: minus infinity outside the
  // laid-out area.
  double heightOver(double x, double y) const;

  // The lowest and the highest point of the surface over the block (its
  // top not used); infinities for a surface of given triangles.
  std::pair<double, double> heightsWithin(const Block& block) const;

  // The radii of its sections, in order.
  const std::vector<double>& sectionXs() const { return sectionXs_; }

  const std::vector<SurfaceTriangle>& triangles() const { return triangles_; }

  // Calls f(index) for every triangle whose projection's bounds may meet the
  // rectangle; a triangle may be reported more than once.
  template <typename F>
  void forEachNear(double xlo, double ylo, double xhi, double yhi, F&& f) const {
    const int c0 = cellX(xlo), c1 = cellX(xhi), r0 = cellY(ylo), r1 = cellY(yhi);
    for (int r = r0; r <= r1; ++r) {
      for (int c = c0; c <= c1; ++c) {
        const std::size_t cell =
            static_cast<std::size_t>(r) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(c);
        for (std::uint32_t k = cellStart_[cell]; k < cellStart_[cell + 1]; ++k) f(cellItems_[k]);
      }
    }
  }

  // The side of its grid's cells.
  double cell() const { return cell_; }

  // The laid-out area: the block grown by the margin (and by whatever the
  // sections reach beyond it).
  double xMin() const { return xMin_; }
  double xMax() const { return xMax_; }
  double yMin() const { return yMin_; }
  double yMax() const { return yMax_; }

 private:
  int cellX(double x) const;
  int cellY(double y) const;
  void addProfileStrip(const std::vector<Vec3>& from, const std::vector<Vec3>& to);
  void addTriangle(const Vec3& a, const Vec3& b, const Vec3& c);
  void buildBins();

  std::vector<SurfaceTriangle> triangles_;
  std::vector<double> sectionXs_;
  std::vector<SectionRows> sections_;
  double xMin_ = 0, xMax_ = 0, yMin_ = 0, yMax_ = 0;
  double cell_ = 4;  // millimetres
  int cols_ = 0, rows_ = 0;
  std::vector<std::uint32_t> cellStart_;  // cols_ * rows_ + 1 offsets into cellItems_
  std::vector<std::uint32_t> cellItems_;  // triangle indices, cell by cell
};

}  // namespace ventaro
