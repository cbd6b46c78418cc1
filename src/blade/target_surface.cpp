#include "blade/target_surface.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/number_text.h"

namespace ventaro {

namespace {

Vec3 sub(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

Vec3 cross(const Vec3& a, const Vec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// An outline cut beside a section: where its outline lies and how deep
// the cut beside each side goes.
struct OutlineDrop {
  Outline outline;
  double low = 0, high = 0;
  double beyond = 0;  // how far beyond the outline the surface falls
};

// A section as a row of surface points across the chord at `x`: its 18
// points, with one more at each end far out at the level of that edge; or,
// with an outline cut, two more at each end: the surface falls just beyond
// the outline to the cut's depth and stays there out to the end.
std::vector<Vec3> sectionRow(const Section& sec, double x, double yLow, double yHigh, const OutlineDrop* cut) {
  std::vector<Vec3> row;
  row.reserve(sec.size() + 4);
  // Normally the leading edge (point 1) lies at the smaller Y.
  const bool leadingLow = sec.front().y <= sec.back().y;
  const auto outward = [&](const SectionPoint& edge, bool low) {
    const double far = low ? yLow : yHigh;
    if (cut == nullptr) return std::vector<Vec3>{{x, far, edge.z}};
    const SectionPoint& o = low ? cut->outline.low : cut->outline.high;
    const double z = low ? cut->low : cut->high;
    return std::vector<Vec3>{{x, o.y + (low ? -cut->beyond : cut->beyond), z}, {x, far, z}};
  };
  const auto startEnd = outward(sec.front(), leadingLow);
  row.insert(row.end(), startEnd.rbegin(), startEnd.rend());
  for (const SectionPoint& p : sec) row.push_back({x, p.y, p.z});
  const auto finishEnd = outward(sec.back(), !leadingLow);
  row.insert(row.end(), finishEnd.begin(), finishEnd.end());
  return row;
}

SectionPoint lerp(const SectionPoint& p, const SectionPoint& q, double t) {
  return {p.y + t * (q.y - p.y), p.z + t * (q.z - p.z)};
}

// Between two sections each quadrilateral of neighbouring points is cut into
// four triangles about its centre. The quadrilaterals are twisted (the
// section turns along the span), and split along a diagonal they would
// depart from the blade by a quarter of that twist, which shrinks only as
// fast as the sections close up; about the centre they depart by a
// sixteenth, and halfway between the sections not at all.
//
// The line the triangles cut at the fraction t of the way from section a to
// section b: per quadrilateral, where its two sides along the span and its
// two half-diagonals to the centre from the nearer section are crossed.
std::array<SectionPoint, 3 * SectionTable::kUpper - 2> fanCut(const Section& a, const Section& b, double t) {
  const bool nearA = t <= 0.5;
  const Section& near = nearA ? a : b;
  const Section& far = nearA ? b : a;
  const double along = nearA ? t : 1 - t;
  std::array<SectionPoint, 3 * SectionTable::kUpper - 2> cut;
  for (std::size_t j = 0; j < a.size(); ++j) {
    cut[3 * j] = lerp(near[j], far[j], along);
    if (j + 1 == a.size()) break;
    const SectionPoint centre{(a[j].y + a[j + 1].y + b[j].y + b[j + 1].y) / 4,
                              (a[j].z + a[j + 1].z + b[j].z + b[j + 1].z) / 4};
    cut[3 * j + 1] = lerp(near[j], centre, 2 * along);
    cut[3 * j + 2] = lerp(near[j + 1], centre, 2 * along);
  }
  return cut;
}

// The square of the distance from p to the segment from a to b, in the
// plane of a section.
double squaredDistanceToSegment(const SectionPoint& p, const SectionPoint& a, const SectionPoint& b) {
  const double dy = b.y - a.y, dz = b.z - a.z, len2 = dy * dy + dz * dz;
  const double t = len2 > 0 ? std::clamp(((p.y - a.y) * dy + (p.z - a.z) * dz) / len2, 0.0, 1.0) : 0.0;
  const double ey = p.y - (a.y + t * dy), ez = p.z - (a.z + t * dz);
  return ey * ey + ez * ez;
}

// The farthest any corner of one row of points lies from the other row.
template <typename A, typename B>
double farthestCorner(const A& from, const B& to) {
  double worst = 0;
  for (const SectionPoint& p : from) {
    double nearest = std::numeric_limits<double>::infinity();
    for (std::size_t j = 0; j + 1 < to.size(); ++j) {
      nearest = std::min(nearest, squaredDistanceToSegment(p, to[j], to[j + 1]));
    }
    worst = std::max(worst, nearest);
  }
  return std::sqrt(worst);
}

// How far the triangles between the sections at xa and xb depart from the
// blade, measured a quarter, a half and three quarters of the way: the
// distance across the surface (which a tool meets, and which stays small
// where a section rises steeply or overhangs its leading edge, where a
// height would jump) between the line the triangles cut and the blade's
// section there, the farthest any corner of either lies from the other.
double spanError(const SectionSource& source, double xa, const SectionRows& a, double xb, const SectionRows& b) {
  double worst = 0;
  for (double t : {0.25, 0.5, 0.75}) {
    const SectionRows there = source(xa + t * (xb - xa));
    for (std::size_t r = 0; r < a.size(); ++r) {
      const auto cut = fanCut(a[r], b[r], t);
      worst = std::max({worst, farthestCorner(cut, there[r]), farthestCorner(there[r], cut)});
    }
  }
  return worst;
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

}  // namespace

Outline outlineOf(std::span<const Section> rows) {
  Outline o{rows.front().front(), rows.front().front()};
  for (const Section& sec : rows) {
    for (const SectionPoint& p : sec) {
      if (p.y < o.low.y) o.low = p;
      if (p.y > o.high.y) o.high = p;
    }
  }
  // The lowest point near either edge, whichever of them is farthest out.
  for (const Section& sec : rows) {
    for (const SectionPoint& p : sec) {
      if (p.y <= o.low.y + kOutlineEdge) o.low.z = std::min(o.low.z, p.z);
      if (p.y >= o.high.y - kOutlineEdge) o.high.z = std::min(o.high.z, p.z);
    }
  }
  return o;
}

OutlineFloors::OutlineFloors(const SectionSource& source, double xa, double xb, double window, double cutBelow,
                             double step)
    : xa_(xa), step_(step) {
  const auto n = static_cast<std::size_t>(std::max(1.0, std::ceil((xb - xa) / step)));
  xs_.resize(n + 1);
  outlines_.resize(n + 1);
  for (std::size_t i = 0; i <= n; ++i) {
    xs_[i] = xa + static_cast<double>(i) * step;
    outlines_[i] = outlineOf(source(xs_[i]));
  }
  // Never below the plank's underside: beyond it lies the spoilboard.
  const auto floorOf = [&](const SectionPoint& edge) { return std::max(0.0, edge.z - cutBelow); };
  const auto reach = static_cast<std::size_t>(std::ceil(window / step));
  lowFloor_.assign(n + 1, std::numeric_limits<double>::infinity());
  highFloor_ = lowFloor_;
  for (std::size_t i = 0; i <= n; ++i) {
    for (std::size_t j = i > reach ? i - reach : 0; j <= std::min(n, i + reach); ++j) {
      lowFloor_[i] = std::min(lowFloor_[i], floorOf(outlines_[j].low));
      highFloor_[i] = std::min(highFloor_[i], floorOf(outlines_[j].high));
    }
  }
}

double OutlineFloors::at(const std::vector<double>& floor, double x) const {
  // Outside the readings, the nearest; between two, the lower.
  const double t = (x - xa_) / step_;
  if (!(t > 0)) return floor.front();
  const auto i = static_cast<std::size_t>(t);
  if (i + 1 >= floor.size()) return floor.back();
  return std::min(floor[i], floor[i + 1]);
}

double OutlineFloors::over(const std::vector<double>& floor, double xa, double xb) const {
  const double last = static_cast<double>(floor.size() - 1);
  const auto index = [&](double x) { return static_cast<std::size_t>(std::clamp((x - xa_) / step_, 0.0, last)); };
  // Between two readings the cut is the lower of them: the readings from
  // the one at or before xa to the one at or before xb bound it.
  const std::size_t from = index(xa), to = index(xb);
  double most = -std::numeric_limits<double>::infinity();
  for (std::size_t i = from; i <= to; ++i) most = std::max(most, floor[i]);
  return most;
}

SectionSource plankFace(const BladeModel& blade, PlankFace face, double width, double thickness, double endFrom) {
  return [&blade, face, width, thickness, endFrom](double x) {
    if (x >= endFrom) {
      // The end of the plank, its whole width and thickness.
      Section flat;
      for (std::size_t j = 0; j < flat.size(); ++j) {
        flat[j] = {width * static_cast<double>(j) / static_cast<double>(flat.size() - 1), thickness};
      }
      return SectionRows{flat, flat};
    }
    // Past the tip, its section reaches on into the end of the plank.
    const double at = std::min(x, blade.tipX());
    SectionRows rows{blade.section(at), blade.lowerSection(at)};
    if (face == PlankFace::Bottom) {
      for (Section& row : rows) {
        for (SectionPoint& p : row) p = {width - p.y, thickness - p.z};
      }
    }
    return rows;
  };
}

TargetSurface::TargetSurface(const BladeModel& blade, const Block& block, double margin, double tolerance)
    : TargetSurface([&blade](double x) { return SectionRows{blade.section(x)}; }, blade.hubX(), blade.tipX(), block,
                    margin, tolerance) {}

TargetSurface::TargetSurface(const SectionSource& source, double hubX, double tipX, const Block& block, double margin,
                             double tolerance, const OutlineFloors* cut) {
  xMin_ = block.x0 - margin;
  xMax_ = block.x1 + margin;
  // The hub's and the tip's sections are corners of the surface: short of
  // the hub and beyond the tip it stays as they are.
  std::vector<double> knots{xMin_};
  const double from = std::clamp(hubX, xMin_, xMax_), to = std::clamp(tipX, xMin_, xMax_);
  const int pieces = std::max(1, static_cast<int>(std::ceil((to - from) / 25.0)));
  for (int i = 0; i <= pieces; ++i) knots.push_back(i == pieces ? to : from + (to - from) * i / pieces);
  knots.push_back(xMax_);

  // A little inside the quarter: the departure is measured on three lines
  // of each span, and may peak a little beside them.
  const double limit = tolerance / 4.5;
  const auto add = [&](double x, const SectionRows& sec) {
    if (!sectionXs_.empty() && !(x > sectionXs_.back())) return;
    if (sectionXs_.size() >= kMaxTargetSections) {
      throw ShopError("the blade's surface would take more than " + std::to_string(kMaxTargetSections) +
                      " sections to follow within a tolerance of " + NumberText(tolerance) +
                      " mm; give a coarser tolerance");
    }
    sectionXs_.push_back(x);
    sections_.push_back(sec);
  };
  // Halves each span until the triangles lie within the limit of the
  // blade, left to right.
  const auto refine = [&](auto&& self, double xa, const SectionRows& a, double xb, const SectionRows& b,
                          int depth) -> void {
    const double xm = (xa + xb) / 2;
    const SectionRows m = source(xm);
    if (depth < 40 && xb - xa > 1e-3 && spanError(source, xa, a, xb, b) > limit) {
      self(self, xa, a, xm, m, depth + 1);
      add(xm, m);
      self(self, xm, m, xb, b, depth + 1);
    }
  };
  SectionRows previous = source(knots.front());
  add(knots.front(), previous);
  for (std::size_t k = 1; k < knots.size(); ++k) {
    const SectionRows next = source(knots[k]);
    refine(refine, knots[k - 1], previous, knots[k], next, 0);
    add(knots[k], next);
    previous = next;
  }

  double yLo = block.y0 - margin, yHi = block.y1 + margin;
  for (const SectionRows& rows : sections_) {
    for (const Section& sec : rows) {
      for (const SectionPoint& p : sec) {
        yLo = std::min(yLo, p.y);
        yHi = std::max(yHi, p.y);
      }
    }
  }
  yMin_ = yLo - 1;
  yMax_ = yHi + 1;
  const std::size_t rows = sections_.front().size();
  triangles_.reserve((sections_.size() - 1) * (SectionTable::kUpper + 1) * 4 * rows);
  std::vector<OutlineDrop> outlines;
  if (cut != nullptr) {
    outlines.reserve(sections_.size());
    for (std::size_t k = 0; k < sections_.size(); ++k) {
      // The sections stand within a quarter of the tolerance of the blade,
      // measured across its surface: beside an upright side that much
      // across is a long way down, and a tool that follows the triangles
      // down beside it would graze the side. The fall stands off the
      // outline by five tolerances (a hundredth of a millimetre at least);
      // the outline cut (outline_cut.h), which follows the sections
      // themselves, takes what is left there.
      const double before = sectionXs_[k > 0 ? k - 1 : k], after = sectionXs_[std::min(k + 1, sections_.size() - 1)];
      outlines.push_back({outlineOf(sections_[k]), cut->lowOver(before, after), cut->highOver(before, after),
                          std::max(0.01, 5 * tolerance)});
    }
  }
  const auto cutAt = [&](std::size_t k) { return outlines.empty() ? nullptr : &outlines[k]; };
  for (std::size_t r = 0; r < rows; ++r) {
    std::vector<Vec3> rowA = sectionRow(sections_.front()[r], sectionXs_.front(), yMin_, yMax_, cutAt(0));
    for (std::size_t k = 1; k < sections_.size(); ++k) {
      std::vector<Vec3> rowB = sectionRow(sections_[k][r], sectionXs_[k], yMin_, yMax_, cutAt(k));
      addProfileStrip(rowA, rowB);
      rowA = std::move(rowB);
    }
  }
  buildBins();
}

void TargetSurface::addProfileStrip(const std::vector<Vec3>& from, const std::vector<Vec3>& to) {
  // Four triangles about each quadrilateral's centre.
  for (std::size_t i = 0; i + 1 < from.size(); ++i) {
    const Vec3 centre{(from[i].x + from[i + 1].x + to[i].x + to[i + 1].x) / 4,
                      (from[i].y + from[i + 1].y + to[i].y + to[i + 1].y) / 4,
                      (from[i].z + from[i + 1].z + to[i].z + to[i + 1].z) / 4};
    addTriangle(from[i], from[i + 1], centre);
    addTriangle(from[i + 1], to[i + 1], centre);
    addTriangle(to[i + 1], to[i], centre);
    addTriangle(to[i], from[i], centre);
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

std::pair<double, double> TargetSurface::heightsWithin(const Block& b) const {
  // The triangles are flat, so their highest and lowest points over the
  // block lie on a corner inside it or where an edge crosses the block's
  // sides: the sections carry every corner (the centres lie between them),
  // the sections' own edges and those along the span cross the sides. (The
  // edges to the centres are left out: they stray from those by less than
  // the surface strays from the blade.)
  double lo = std::numeric_limits<double>::infinity(), hi = -lo;
  const auto add = [&](double z) {
    lo = std::min(lo, z);
    hi = std::max(hi, z);
  };
  for (std::size_t k = 0; k < sectionXs_.size(); ++k) {
    if (sectionXs_[k] < b.x0 || sectionXs_[k] > b.x1) continue;
    const SectionRows& rows = sections_[k];
    // With two rows the surface is the higher: a point of one counts at the
    // height the surface has over it.
    const auto over = [&](double y, double z) {
      if (rows.size() == 1) return z;
      for (const Section& other : rows) z = std::max(z, sectionHeight(other, y));
      return z;
    };
    for (std::size_t r = 0; r < rows.size(); ++r) {
      const Section& sec = rows[r];
      for (const SectionPoint& p : sec) {
        if (p.y >= b.y0 && p.y <= b.y1) add(over(p.y, p.z));
      }
      add(over(b.y0, sectionHeight(sec, b.y0)));
      add(over(b.y1, sectionHeight(sec, b.y1)));
      // Where a point's line along the span crosses a side of the block.
      if (k + 1 == sectionXs_.size()) continue;
      for (std::size_t j = 0; j < sec.size(); ++j) {
        const SectionPoint& p = sec[j];
        const SectionPoint& q = sections_[k + 1][r][j];
        for (double side : {b.y0, b.y1}) {
          if ((p.y - side) * (q.y - side) < 0) add(over(side, p.z + (q.z - p.z) * (side - p.y) / (q.y - p.y)));
        }
      }
    }
  }
  return {lo, hi};
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
