#include "toolpath/drop_cutter.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ventaro {

namespace {

constexpr double kNone = -std::numeric_limits<double>::infinity();

// The plane bound below is left to triangles no steeper than this (rise per
// millimetre), where its rounding stays far below kBoundSlack.
constexpr double kSteepBound = 100;
constexpr double kBoundSlack = 1e-9;

// Whether a point lies in the triangle's projection, with a hair of slack
// so that a contact exactly on an edge is not lost between two faces.
bool insideProjection(const SurfaceTriangle& t, double x, double y) { return t.covers(x, y, 1e-12); }

double planeZ(const SurfaceTriangle& t, double x, double y) { return t.planeA * x + t.planeB * y + t.planeC; }

// Ball: the centre lies R above the tip. A corner under the ball is met by
// the sphere; a face by the point of the sphere whose normal is the face's;
// an edge by the sphere where the centre is R from the edge's line.
double ballCorner(const Vec3& v, double r, double x, double y) {
  const double d2 = (v.x - x) * (v.x - x) + (v.y - y) * (v.y - y);
  if (d2 > r * r) return kNone;
  return v.z + std::sqrt(r * r - d2) - r;
}

double ballFace(const SurfaceTriangle& t, double r, double x, double y) {
  if (t.vertical) return kNone;
  const double cx = x - r * t.normal.x, cy = y - r * t.normal.y;
  if (!insideProjection(t, cx, cy)) return kNone;
  return planeZ(t, cx, cy) + r * t.normal.z - r;
}

// `floor`: a contact no higher than this is of no interest. No point of the
// edge stands higher than its higher end, and none lies nearer the axis
// than the edge's line, which passes over most edges unopened.
double ballEdge(const Vec3& p, const Vec3& q, const EdgeFrame& e, double r, double x, double y, double floor) {
  if (e.length == 0) return kNone;  // an upright edge is met at its upper corner
  const double along = (x - p.x) * e.ux + (y - p.y) * e.uy;
  const double across = std::abs((x - p.x) * e.uy - (y - p.y) * e.ux);
  if (across > r) return kNone;
  if (std::max(p.z, q.z) - r + std::sqrt(r * r - across * across) <= floor) return kNone;
  const double centre = p.z + e.slope * along + std::sqrt(r * r - across * across) * e.secant;
  // Where on the edge the sphere touches: the foot of the centre on the line.
  const double foot = (along + e.slope * (centre - p.z)) / (e.secant * e.secant);
  if (foot < 0 || foot > e.length) return kNone;
  return centre - r;
}

// Flat end mill: the tip is the highest point of the triangle under the
// disk, either where the disk's rim meets the face in its steepest uphill
// direction or on an edge crossing the disk (its ends included).
double flatFace(const SurfaceTriangle& t, double r, double x, double y) {
  if (t.vertical) return kNone;
  const double g = std::sqrt(t.normal.x * t.normal.x + t.normal.y * t.normal.y);
  double cx = x, cy = y;
  if (g > 0) {
    cx = x - r * t.normal.x / g;
    cy = y - r * t.normal.y / g;
  }
  if (!insideProjection(t, cx, cy)) return kNone;
  return planeZ(t, cx, cy);
}

double flatEdge(const Vec3& p, const Vec3& q, double r, double x, double y) {
  const double ex = q.x - p.x, ey = q.y - p.y;
  const double fx = p.x - x, fy = p.y - y;
  const double a = ex * ex + ey * ey;
  const double c = fx * fx + fy * fy - r * r;
  if (a == 0) return c <= 0 ? std::max(p.z, q.z) : kNone;
  const double b = 2 * (ex * fx + ey * fy);
  const double disc = b * b - 4 * a * c;
  if (disc < 0) return kNone;
  const double root = std::sqrt(disc);
  const double t0 = std::max((-b - root) / (2 * a), 0.0);
  const double t1 = std::min((-b + root) / (2 * a), 1.0);
  if (t0 > t1) return kNone;
  const double dz = q.z - p.z;
  return std::max(p.z + t0 * dz, p.z + t1 * dz);
}

}  // namespace

double dropOnTriangle(const SurfaceTriangle& t, const Cutter& cutter, double x, double y, double floor) {
  const double r = cutter.radius;
  // A contact on the face is the highest the triangle offers: the whole
  // triangle lies in the plane the tool touches there.
  const double face = cutter.shape == ToolShape::Flat ? flatFace(t, r, x, y) : ballFace(t, r, x, y);
  if (face != kNone) return face;
  if (cutter.shape == ToolShape::Flat) {
    return std::max({flatEdge(t.a, t.b, r, x, y), flatEdge(t.b, t.c, r, x, y), flatEdge(t.c, t.a, r, x, y)});
  }
  // The corners first: the highest of them raises the floor the edges
  // must beat.
  const double corner = std::max({ballCorner(t.a, r, x, y), ballCorner(t.b, r, x, y), ballCorner(t.c, r, x, y)});
  const double f = std::max(floor, corner);
  return std::max({corner, ballEdge(t.a, t.b, t.edges[0], r, x, y, f), ballEdge(t.b, t.c, t.edges[1], r, x, y, f),
                   ballEdge(t.c, t.a, t.edges[2], r, x, y, f)});
}

namespace {

// The highest a triangle can hold the tool, wherever in the rectangle
// [cx0, cx1] x [cy0, cy1] the tool stands; minus infinity when no point of
// the triangle lies within its reach from there. A ball: its highest corner,
// lowered by the sphere's drop at the nearest its bounds come, and its plane
// less the paraboloid d^2 / 2R that the sphere's drop never falls short of,
// at its highest within the bounds. A flat end mill: its highest corner, and
// its plane at its highest within the bounds and the tool's reach.
double reachBound(const SurfaceTriangle& t, const Cutter& cutter, double cx0, double cx1, double cy0, double cy1) {
  const double r = cutter.radius;
  const double dx = std::max({0.0, t.xlo - cx1, cx0 - t.xhi}), dy = std::max({0.0, t.ylo - cy1, cy0 - t.yhi});
  const double d2 = dx * dx + dy * dy;
  if (d2 > r * r) return kNone;
  const bool plane = !t.vertical && std::abs(t.planeA) + std::abs(t.planeB) < kSteepBound;
  const double A = t.planeA, B = t.planeB;
  if (cutter.shape == ToolShape::Flat) {
    if (!plane) return t.zhi;
    const double px = A >= 0 ? std::min(t.xhi, cx1 + r) : std::max(t.xlo, cx0 - r);
    const double py = B >= 0 ? std::min(t.yhi, cy1 + r) : std::max(t.ylo, cy0 - r);
    return std::min(t.zhi, A * px + B * py + t.planeC + kBoundSlack);
  }
  const double corner = t.zhi - r + std::sqrt(r * r - d2);
  if (!plane) return corner;
  const double px = std::clamp(A >= 0 ? cx1 + r * A : cx0 + r * A, t.xlo, t.xhi);
  const double py = std::clamp(B >= 0 ? cy1 + r * B : cy0 + r * B, t.ylo, t.yhi);
  const double ex = std::max({0.0, px - cx1, cx0 - px}), ey = std::max({0.0, py - cy1, cy0 - py});
  return std::min(corner, A * px + B * py + t.planeC - (ex * ex + ey * ey) / (2 * r) + kBoundSlack);
}

}  // namespace

DropCutter::DropCutter(const TargetSurface& surface, Cutter cutter) : surface_(&surface), cutter_(cutter) {
  cell_ = gridCell(surface.xMax() - surface.xMin(), surface.yMax() - surface.yMin(), cutter.radius);
  cols_ = static_cast<int>(std::ceil((surface.xMax() - surface.xMin()) / cell_)) + 1;
  rows_ = static_cast<int>(std::ceil((surface.yMax() - surface.yMin()) / cell_)) + 1;
  const std::size_t cells = static_cast<std::size_t>(cols_) * static_cast<std::size_t>(rows_);
  const auto& triangles = surface.triangles();
  // A cell on the grid's rim also answers for the tool beyond it.
  constexpr double kFar = std::numeric_limits<double>::infinity();
  const auto cellBound = [&](const SurfaceTriangle& t, int col, int row) {
    const double x0 = surface.xMin() + col * cell_, y0 = surface.yMin() + row * cell_;
    const double cx0 = col == 0 ? -kFar : x0, cx1 = col == cols_ - 1 ? kFar : x0 + cell_;
    const double cy0 = row == 0 ? -kFar : y0, cy1 = row == rows_ - 1 ? kFar : y0 + cell_;
    return reachBound(t, cutter_, cx0, cx1, cy0, cy1);
  };
  // The cells from which a tool may reach a triangle: those within the
  // tool's radius of its bounds.
  auto eachCell = [&](const SurfaceTriangle& t, auto&& f) {
    const double r = cutter_.radius;
    const auto [c0, r0] = cellIndex(t.xlo - r, t.ylo - r);
    const auto [c1, r1] = cellIndex(t.xhi + r, t.yhi + r);
    for (int col = c0; col <= c1; ++col) {
      const double cx0 = surface.xMin() + col * cell_;
      const double dx = col == 0 || col == cols_ - 1 ? 0 : std::max({0.0, t.xlo - (cx0 + cell_), cx0 - t.xhi});
      for (int row = r0; row <= r1; ++row) {
        const double cy0 = surface.yMin() + row * cell_;
        const double dy = row == 0 || row == rows_ - 1 ? 0 : std::max({0.0, t.ylo - (cy0 + cell_), cy0 - t.yhi});
        if (dx * dx + dy * dy > r * r) continue;
        f(static_cast<std::size_t>(row) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(col), col, row);
      }
    }
  };
  cellStart_.assign(cells + 1, 0);
  for (const SurfaceTriangle& t : triangles) eachCell(t, [&](std::size_t c, int, int) { ++cellStart_[c + 1]; });
  for (std::size_t c = 0; c < cells; ++c) cellStart_[c + 1] += cellStart_[c];
  cellItems_.resize(cellStart_[cells]);
  std::vector<std::uint32_t> fill(cellStart_.begin(), cellStart_.end() - 1);
  for (std::uint32_t i = 0; i < triangles.size(); ++i) {
    eachCell(triangles[i], [&](std::size_t c, int col, int row) {
      // Rounded up, so that the stored bound never falls short.
      const double bound = cellBound(triangles[i], col, row);
      const float up = std::nextafter(static_cast<float>(bound), std::numeric_limits<float>::infinity());
      cellItems_[fill[c]++] = {up, i};
    });
  }
  // Each cell's list highest bound first: the search stops at the first
  // triangle whose bound the tool already stands above.
  for (std::size_t c = 0; c < cells; ++c) {
    std::sort(cellItems_.begin() + cellStart_[c], cellItems_.begin() + cellStart_[c + 1],
              [](const Item& a, const Item& b) { return a.bound > b.bound; });
  }
  bounds_.reserve(triangles.size());
  for (const SurfaceTriangle& t : triangles) {
    bounds_.push_back({t.xlo, t.xhi, t.ylo, t.yhi, t.zhi,
                       t.vertical ? std::numeric_limits<double>::quiet_NaN() : t.planeA, t.planeB, t.planeC,
                       cutter_.radius * (std::sqrt(1 + t.planeA * t.planeA + t.planeB * t.planeB) - 1)});
  }
}

std::pair<int, int> DropCutter::cellIndex(double x, double y) const {
  const double c = std::floor((x - surface_->xMin()) / cell_);
  const double r = std::floor((y - surface_->yMin()) / cell_);
  return {static_cast<int>(std::clamp(c, 0.0, static_cast<double>(cols_ - 1))),
          static_cast<int>(std::clamp(r, 0.0, static_cast<double>(rows_ - 1)))};
}

double DropCutter::tipZ(double x, double y, Hint* hint) const {
  const double r = cutter_.radius;
  const auto& triangles = surface_->triangles();
  double best = kNone;
  std::uint32_t contact = kNoTriangle;
  if (hint && hint->triangle < triangles.size()) {
    best = dropOnTriangle(triangles[hint->triangle], cutter_, x, y);
    if (best != kNone) contact = hint->triangle;
  }
  // The cell lists its triangles by the highest each can hold the tool:
  // once the tool stands above that, neither it nor any after it can stop
  // the tool higher.
  const bool ball = cutter_.shape == ToolShape::Ball;
  const auto [col, row] = cellIndex(x, y);
  const std::size_t cell =
      static_cast<std::size_t>(row) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(col);
  for (std::uint32_t k = cellStart_[cell]; k < cellStart_[cell + 1]; ++k) {
    const Item item = cellItems_[k];
    if (item.bound <= best) break;
    const Bounds& t = bounds_[item.triangle];
    if (t.xlo > x + r || t.xhi < x - r || t.ylo > y + r || t.yhi < y - r) continue;
    if (ball) {
      // No point of the triangle lies nearer the axis than its bounds do, so
      // none can hold the ball higher than its highest corner, lowered by
      // the sphere's drop at that distance.
      const double dx = std::max({0.0, t.xlo - x, x - t.xhi}), dy = std::max({0.0, t.ylo - y, y - t.yhi});
      const double d2 = dx * dx + dy * dy;
      if (d2 > r * r || t.zhi - r + std::sqrt(r * r - d2) <= best) continue;
      // Nor can it hold the ball higher than its plane does within its
      // bounds, the sphere's drop taken no deeper than d^2 / 2R: the plane
      // less that paraboloid is highest at the axis moved R times the
      // plane's gradient, brought into the bounds. Long thin triangles,
      // which reach far up a slope, are mostly passed over here.
      if (std::abs(t.planeA) + std::abs(t.planeB) < kSteepBound) {  // false for NaN: upright
        const double px = std::clamp(x + r * t.planeA, t.xlo, t.xhi);
        const double py = std::clamp(y + r * t.planeB, t.ylo, t.yhi);
        const double bound =
            t.planeA * px + t.planeB * py + t.planeC - ((px - x) * (px - x) + (py - y) * (py - y)) / (2 * r);
        if (bound + kBoundSlack <= best) continue;
        // Nor higher than the whole plane would: a ball resting on a plane
        // rising g per millimetre has its centre R sqrt(1 + g^2) above the
        // plane's point under the axis.
        if (t.planeA * x + t.planeB * y + t.planeC + t.planeLift + kBoundSlack <= best) continue;
      }
    }
    const double z = dropOnTriangle(triangles[item.triangle], cutter_, x, y, best);
    if (z > best) {
      best = z;
      contact = item.triangle;
    }
  }
  if (hint) hint->triangle = contact;
  return best;
}

}  // namespace ventaro
