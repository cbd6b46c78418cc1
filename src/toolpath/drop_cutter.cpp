#include "toolpath/drop_cutter.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ventaro {

namespace {

constexpr double kNone = -std::numeric_limits<double>::infinity();

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

double ballEdge(const Vec3& p, const EdgeFrame& e, double r, double x, double y) {
  if (e.length == 0) return kNone;  // an upright edge is met at its upper corner
  const double along = (x - p.x) * e.ux + (y - p.y) * e.uy;
  const double across = std::abs((x - p.x) * e.uy - (y - p.y) * e.ux);
  if (across > r) return kNone;
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

double dropOnTriangle(const SurfaceTriangle& t, const Cutter& cutter, double x, double y) {
  const double r = cutter.radius;
  // A contact on the face is the highest the triangle offers: the whole
  // triangle lies in the plane the tool touches there.
  const double face = cutter.shape == ToolShape::Flat ? flatFace(t, r, x, y) : ballFace(t, r, x, y);
  if (face != kNone) return face;
  if (cutter.shape == ToolShape::Flat) {
    return std::max({flatEdge(t.a, t.b, r, x, y), flatEdge(t.b, t.c, r, x, y), flatEdge(t.c, t.a, r, x, y)});
  }
  return std::max({ballEdge(t.a, t.edges[0], r, x, y), ballEdge(t.b, t.edges[1], r, x, y),
                   ballEdge(t.c, t.edges[2], r, x, y), ballCorner(t.a, r, x, y), ballCorner(t.b, r, x, y),
                   ballCorner(t.c, r, x, y)});
}

DropCutter::DropCutter(const TargetSurface& surface, Cutter cutter) : surface_(&surface), cutter_(cutter) {
  cell_ = gridCell(surface.xMax() - surface.xMin(), surface.yMax() - surface.yMin(), cutter.radius);
  cols_ = static_cast<int>(std::ceil((surface.xMax() - surface.xMin()) / cell_)) + 1;
  rows_ = static_cast<int>(std::ceil((surface.yMax() - surface.yMin()) / cell_)) + 1;
  const std::size_t cells = static_cast<std::size_t>(cols_) * static_cast<std::size_t>(rows_);
  const auto& triangles = surface.triangles();
  // The cells from which a tool reaches a triangle: its bounds grown by
  // the tool's radius.
  auto eachCell = [&](const SurfaceTriangle& t, auto&& f) {
    const double r = cutter_.radius;
    const auto [c0, r0] = cellIndex(t.xlo - r, t.ylo - r);
    const auto [c1, r1] = cellIndex(t.xhi + r, t.yhi + r);
    for (int row = r0; row <= r1; ++row) {
      for (int col = c0; col <= c1; ++col) {
        f(static_cast<std::size_t>(row) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(col));
      }
    }
  };
  cellStart_.assign(cells + 1, 0);
  for (const SurfaceTriangle& t : triangles) eachCell(t, [&](std::size_t c) { ++cellStart_[c + 1]; });
  for (std::size_t c = 0; c < cells; ++c) cellStart_[c + 1] += cellStart_[c];
  cellItems_.resize(cellStart_[cells]);
  // Filled highest triangle first, so every cell's list comes out sorted.
  std::vector<std::uint32_t> order(triangles.size());
  for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(),
            [&](std::uint32_t a, std::uint32_t b) { return triangles[a].zhi > triangles[b].zhi; });
  std::vector<std::uint32_t> fill(cellStart_.begin(), cellStart_.end() - 1);
  for (std::uint32_t i : order) eachCell(triangles[i], [&](std::size_t c) { cellItems_[fill[c]++] = i; });
}

std::pair<int, int> DropCutter::cellIndex(double x, double y) const {
  const double c = std::floor((x - surface_->xMin()) / cell_);
  const double r = std::floor((y - surface_->yMin()) / cell_);
  return {static_cast<int>(std::clamp(c, 0.0, static_cast<double>(cols_ - 1))),
          static_cast<int>(std::clamp(r, 0.0, static_cast<double>(rows_ - 1)))};
}

double DropCutter::tipZ(double x, double y) const {
  const double r = cutter_.radius;
  const auto& triangles = surface_->triangles();
  // The cell lists its triangles highest first: once the tool stands above
  // a triangle's highest corner, neither it nor any after it can stop the
  // tool higher.
  double best = kNone;
  const bool ball = cutter_.shape == ToolShape::Ball;
  const auto [col, row] = cellIndex(x, y);
  const std::size_t cell =
      static_cast<std::size_t>(row) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(col);
  for (std::uint32_t k = cellStart_[cell]; k < cellStart_[cell + 1]; ++k) {
    const SurfaceTriangle& t = triangles[cellItems_[k]];
    if (t.zhi <= best) break;
    if (t.xlo > x + r || t.xhi < x - r || t.ylo > y + r || t.yhi < y - r) continue;
    if (ball) {
      // No point of the triangle lies nearer the axis than its bounds do, so
      // none can hold the ball higher than its highest corner, lowered by
      // the sphere's drop at that distance.
      const double dx = std::max({0.0, t.xlo - x, x - t.xhi}), dy = std::max({0.0, t.ylo - y, y - t.yhi});
      const double d2 = dx * dx + dy * dy;
      if (d2 > r * r || t.zhi - r + std::sqrt(r * r - d2) <= best) continue;
    }
    best = std::max(best, dropOnTriangle(t, cutter_, x, y));
  }
  return best;
}

}  // namespace ventaro
