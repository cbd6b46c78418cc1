#include "blade/target_surface.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ventaro {

namespace {

Vec3 sub(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

Vec3 cross(const Vec3& a, const Vec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// The section of one station as a row of surface points across the chord:
// the 18 placed points, with one more point at each end far out at the
// level of that edge.
std::vector<Vec3> stationProfile(const StationRecord& st, double x, double yLow, double yHigh) {
  std::vector<Vec3> row;
  row.reserve(SectionTable::kUpper + 2);
  const auto& first = st.points[SectionTable::kLower];
  const auto& last = st.points[SectionTable::kUpper];
  // Normally the leading edge (point 1) lies at the smaller Y.
  const bool leadingLow = first.Y <= last.Y;
  row.push_back({x, leadingLow ? yLow : yHigh, static_cast<double>(first.Z)});
  for (int j = SectionTable::kLower; j <= SectionTable::kUpper; ++j) {
    const auto& p = st.points[static_cast<std::size_t>(j)];
    row.push_back({x, p.Y, static_cast<double>(p.Z)});
  }
  row.push_back({x, leadingLow ? yHigh : yLow, static_cast<double>(last.Z)});
  return row;
}

EdgeFrame frameOf(const Vec3& p, const Vec3& q) {
  EdgeFrame e;
  e.length = std::hypot(q.x - p.x, q.y - p.y);
  if (e.length == 0) return e;  // upright: met at its upper corner
  e.ux = (q.x - p.x) / e.length;
  e.uy = (q.y - p.y) / e.length;
  e.slope = (q.z - p.z) / e.length;
  e.secant = std::sqrt(1 + e.slope * e.slope);
  return e;
}

std::vector<Vec3> movedTo(std::vector<Vec3> row, double x) {
  for (Vec3& p : row) p.x = x;
  return row;
}

}  // namespace

TargetSurface::TargetSurface(const DesignRecord& record, const Block& block, double margin) {
  const auto& stations = record.finishing;
  if (stations.empty()) throw ShopError("the blade has no finishing station, so there is nothing to mill");

  double yLo = block.y0 - margin, yHi = block.y1 + margin;
  for (const StationRecord& st : stations) {
    for (int j = SectionTable::kLower; j <= SectionTable::kUpper; ++j) {
      yLo = std::min(yLo, st.points[static_cast<std::size_t>(j)].Y);
      yHi = std::max(yHi, st.points[static_cast<std::size_t>(j)].Y);
    }
  }
  yMin_ = yLo - 1;
  yMax_ = yHi + 1;
  xMin_ = std::min(block.x0 - margin, static_cast<double>(stations.front().x));
  xMax_ = std::max(block.x1 + margin, static_cast<double>(stations.back().x));

  std::vector<std::vector<Vec3>> rows;
  rows.reserve(stations.size() + 2);
  for (const StationRecord& st : stations) {
    const double x = static_cast<double>(st.x);
    // Stations lie further out one by one; one at the same X adds nothing.
    if (!rows.empty() && !(x > rows.back().front().x)) continue;
    rows.push_back(stationProfile(st, x, yMin_, yMax_));
  }
  // Before the first station and after the last the section stays as it is.
  if (xMin_ < rows.front().front().x) rows.insert(rows.begin(), movedTo(rows.front(), xMin_));
  if (xMax_ > rows.back().front().x) rows.push_back(movedTo(rows.back(), xMax_));

  triangles_.reserve((rows.size() - 1) * (rows.front().size() - 1) * 2);
  for (std::size_t k = 0; k + 1 < rows.size(); ++k) addProfileStrip(rows[k], rows[k + 1]);
  buildBins();
}

void TargetSurface::addProfileStrip(const std::vector<Vec3>& from, const std::vector<Vec3>& to) {
  for (std::size_t i = 0; i + 1 < from.size(); ++i) {
    addTriangle(from[i], from[i + 1], to[i + 1]);
    addTriangle(from[i], to[i + 1], to[i]);
  }
}

void TargetSurface::addTriangle(const Vec3& a, const Vec3& b, const Vec3& c) {
  SurfaceTriangle t;
  t.a = a;
  t.b = b;
  t.c = c;
  Vec3 n = cross(sub(b, a), sub(c, a));
  const double len = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
  if (len == 0) return;  // collapsed: its edges belong to its neighbours
  n = {n.x / len, n.y / len, n.z / len};
  if (n.z < 0) n = {-n.x, -n.y, -n.z};
  t.normal = n;
  t.edges = {frameOf(a, b), frameOf(b, c), frameOf(c, a)};
  t.vertical = n.z < 1e-12;
  if (!t.vertical) {
    t.planeA = -n.x / n.z;
    t.planeB = -n.y / n.z;
    t.planeC = a.z - t.planeA * a.x - t.planeB * a.y;
    const double d = (b.y - c.y) * (a.x - c.x) + (c.x - b.x) * (a.y - c.y);
    t.ux = (b.y - c.y) / d;
    t.uy = (c.x - b.x) / d;
    t.u0 = -(t.ux * c.x + t.uy * c.y);
    t.vx = (c.y - a.y) / d;
    t.vy = (a.x - c.x) / d;
    t.v0 = -(t.vx * c.x + t.vy * c.y);
  }
  t.xlo = std::min({a.x, b.x, c.x});
  t.xhi = std::max({a.x, b.x, c.x});
  t.zhi = std::max({a.z, b.z, c.z});
  t.ylo = std::min({a.y, b.y, c.y});
  t.yhi = std::max({a.y, b.y, c.y});
  triangles_.push_back(t);
}

TargetSurface TargetSurface::fromTriangles(const std::vector<std::array<Vec3, 3>>& corners) {
  TargetSurface s;
  s.xMin_ = s.yMin_ = std::numeric_limits<double>::infinity();
  s.xMax_ = s.yMax_ = -std::numeric_limits<double>::infinity();
  for (const auto& t : corners) {
    for (const Vec3& p : t) {
      s.xMin_ = std::min(s.xMin_, p.x);
      s.xMax_ = std::max(s.xMax_, p.x);
      s.yMin_ = std::min(s.yMin_, p.y);
      s.yMax_ = std::max(s.yMax_, p.y);
    }
    s.addTriangle(t[0], t[1], t[2]);
  }
  if (corners.empty()) s.xMin_ = s.xMax_ = s.yMin_ = s.yMax_ = 0;
  s.buildBins();
  return s;
}

double gridCell(double width, double depth, double reach) {
  // Cells of 4 mm, or more where the tool reaches far or the area is so
  // large that 4 mm cells would run into millions.
  const double area = std::max(width, 1.0) * std::max(depth, 1.0);
  return std::max({4.0, reach / 4, std::sqrt(area / 1e6)});
}

int TargetSurface::cellX(double x) const {
  const double c = std::floor((x - xMin_) / cell_);
  return static_cast<int>(std::clamp(c, 0.0, static_cast<double>(cols_ - 1)));
}

int TargetSurface::cellY(double y) const {
  const double r = std::floor((y - yMin_) / cell_);
  return static_cast<int>(std::clamp(r, 0.0, static_cast<double>(rows_ - 1)));
}

void TargetSurface::buildBins() {
  cell_ = gridCell(xMax_ - xMin_, yMax_ - yMin_, 0);
  cols_ = static_cast<int>(std::ceil((xMax_ - xMin_) / cell_)) + 1;
  rows_ = static_cast<int>(std::ceil((yMax_ - yMin_) / cell_)) + 1;
  const std::size_t cells = static_cast<std::size_t>(cols_) * static_cast<std::size_t>(rows_);
  cellStart_.assign(cells + 1, 0);
  auto eachCell = [&](const SurfaceTriangle& t, auto&& f) {
    for (int r = cellY(t.ylo); r <= cellY(t.yhi); ++r) {
      for (int c = cellX(t.xlo); c <= cellX(t.xhi); ++c) {
        f(static_cast<std::size_t>(r) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(c));
      }
    }
  };
  for (const SurfaceTriangle& t : triangles_) eachCell(t, [&](std::size_t cell) { ++cellStart_[cell + 1]; });
  for (std::size_t i = 0; i < cells; ++i) cellStart_[i + 1] += cellStart_[i];
  cellItems_.resize(cellStart_[cells]);
  std::vector<std::uint32_t> fill(cellStart_.begin(), cellStart_.end() - 1);
  for (std::uint32_t i = 0; i < triangles_.size(); ++i) {
    eachCell(triangles_[i], [&](std::size_t cell) { cellItems_[fill[cell]++] = i; });
  }
}

double TargetSurface::heightAt(double x, double y) const {
  return heightOver(std::clamp(x, xMin_, xMax_), std::clamp(y, yMin_, yMax_));
}

double TargetSurface::heightOver(double x, double y) const {
  double best = -std::numeric_limits<double>::infinity();
  forEachNear(x, y, x, y, [&](std::uint32_t i) {
    const SurfaceTriangle& t = triangles_[i];
    if (t.vertical || x < t.xlo || x > t.xhi || y < t.ylo || y > t.yhi) return;
    // A hair of slack keeps points on a shared edge inside both neighbours.
    if (!t.covers(x, y, 1e-9)) return;
    best = std::max(best, t.planeA * x + t.planeB * y + t.planeC);
  });
  return best;
}

}  // namespace ventaro
