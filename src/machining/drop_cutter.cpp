#include "machining/drop_cutter.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ventaro {

namespace {

constexpr double kNone = -std::numeric_limits<double>::infinity();

// Whether a point lies in the triangle's projection, with a hair of slack
// so that a contact exactly on an edge is not lost between two faces.
bool insideProjection(const SurfaceTriangle& t, double x, double y) {
  const double d = (t.b.y - t.c.y) * (t.a.x - t.c.x) + (t.c.x - t.b.x) * (t.a.y - t.c.y);
  if (d == 0) return false;
  const double u = ((t.b.y - t.c.y) * (x - t.c.x) + (t.c.x - t.b.x) * (y - t.c.y)) / d;
  const double v = ((t.c.y - t.a.y) * (x - t.c.x) + (t.a.x - t.c.x) * (y - t.c.y)) / d;
  constexpr double kSlack = 1e-12;
  return u >= -kSlack && v >= -kSlack && 1 - u - v >= -kSlack;
}

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

double ballEdge(const Vec3& p, const Vec3& q, double r, double x, double y) {
  const double ex = q.x - p.x, ey = q.y - p.y;
  const double len = std::sqrt(ex * ex + ey * ey);
  if (len == 0) return kNone;  // an upright edge is met at its upper corner
  const double ux = ex / len, uy = ey / len;
  const double along = (x - p.x) * ux + (y - p.y) * uy;
  const double across = std::abs((x - p.x) * uy - (y - p.y) * ux);
  if (across > r) return kNone;
  const double slope = (q.z - p.z) / len;
  const double lift = std::sqrt((r * r - across * across) * (1 + slope * slope));
  const double centre = p.z + slope * along + lift;
  // Where on the edge the sphere touches: the foot of the centre on the line.
  const double foot = (along + slope * (centre - p.z)) / (1 + slope * slope);
  if (foot < 0 || foot > len) return kNone;
  return centre - r;
}

// Flat end mill: the tip is the highest point of the triangle under the
// disk, either where the disk's rim meets the face in its steepest uphill
// direction or on an edge crossing the disk (its ends included).
double flatFace(const SurfaceTriangle& t, double r, double x, double y) {
  if (t.vertical) return kNone;
  const double g = std::hypot(t.normal.x, t.normal.y);
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
  if (cutter.shape == ToolShape::Flat) {
    return std::max(
        {flatFace(t, r, x, y), flatEdge(t.a, t.b, r, x, y), flatEdge(t.b, t.c, r, x, y), flatEdge(t.c, t.a, r, x, y)});
  }
  return std::max({ballFace(t, r, x, y), ballEdge(t.a, t.b, r, x, y), ballEdge(t.b, t.c, r, x, y),
                   ballEdge(t.c, t.a, r, x, y), ballCorner(t.a, r, x, y), ballCorner(t.b, r, x, y),
                   ballCorner(t.c, r, x, y)});
}

DropCutter::DropCutter(const TargetSurface& surface, Cutter cutter)
    : surface_(&surface), cutter_(cutter), seen_(surface.triangles().size(), 0) {}

double DropCutter::tipZ(double x, double y) {
  if (++query_ == 0) {  // the counter wrapped: forget every mark
    std::fill(seen_.begin(), seen_.end(), 0);
    query_ = 1;
  }
  const double r = cutter_.radius;
  const auto& triangles = surface_->triangles();
  double best = kNone;
  surface_->forEachNear(x - r, y - r, x + r, y + r, [&](std::uint32_t i) {
    if (seen_[i] == query_) return;
    seen_[i] = query_;
    const SurfaceTriangle& t = triangles[i];
    // No contact with a triangle can lie above its highest corner.
    if (t.zhi <= best || t.xlo > x + r || t.xhi < x - r || t.ylo > y + r || t.yhi < y - r) return;
    best = std::max(best, dropOnTriangle(t, cutter_, x, y));
  });
  return best;
}

}  // namespace ventaro
