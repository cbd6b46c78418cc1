#include "toolpath/outline_cut.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ventaro {

namespace {

// Less material than this above the path is none (mm).
constexpr double kMet = 0.01;

// Keeps the points of a polyline that its straight moves need to stay
// within `tolerance` of all of them, and every point marked in `forced`.
std::vector<Vec3> thinned(const std::vector<Vec3>& points, const std::vector<bool>& forced, double tolerance) {
  if (points.size() < 3) return points;
  std::vector<Vec3> out{points.front()};
  std::size_t from = 0;
  const auto off = [](const Vec3& a, const Vec3& b, const Vec3& p) {
    const double dx = b.x - a.x, dy = b.y - a.y, dz = b.z - a.z;
    const double len2 = dx * dx + dy * dy + dz * dz;
    const double t =
        len2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy + (p.z - a.z) * dz) / len2, 0.0, 1.0) : 0.0;
    const double ex = p.x - a.x - t * dx, ey = p.y - a.y - t * dy, ez = p.z - a.z - t * dz;
    return std::sqrt(ex * ex + ey * ey + ez * ez);
  };
  for (std::size_t q = 2; q < points.size(); ++q) {
    bool fits = !forced[q - 1];
    for (std::size_t k = from + 1; k < q && fits; ++k) fits = off(points[from], points[q], points[k]) <= tolerance;
    if (!fits) {
      out.push_back(points[q - 1]);
      from = q - 1;
    }
  }
  out.push_back(points.back());
  return out;
}

}  // namespace

double outlineCut(const OutlineFloors& floors, const Block& block, const Cutter& cutter,
                  const OutlineCutSettings& settings, Stock& stock, std::vector<PathMove>& moves) {
  const double r = cutter.radius;
  const std::vector<double>& xs = floors.xs();
  const std::vector<Outline>& outline = floors.outlines();
  const std::size_t n = xs.size() - 1;
  // Each reading of the outline stands for the span from one step short of
  // it, so that where the outline jumps (the tip, the plank's end) the tool
  // keeps clear of the jump's corner wherever between two readings it lies.
  const double step = floors.step();
  const auto reach = static_cast<std::size_t>(std::ceil(r / step)) + 1;
  double lowest = std::numeric_limits<double>::infinity();
  for (const bool low : {true, false}) {
    // The tool's centre beside the outline, and the lowest its tip may go:
    // the allowance above the cut wherever its footprint lies beside the
    // outline within the plank.
    std::vector<Vec3> path(n + 1);
    for (std::size_t i = 0; i <= n; ++i) {
      double y = low ? std::numeric_limits<double>::infinity() : -std::numeric_limits<double>::infinity();
      double z = -std::numeric_limits<double>::infinity();
      for (std::size_t j = i > reach ? i - reach : 0; j <= std::min(n, i + reach); ++j) {
        const double dx = std::max(0.0, std::abs(xs[j] - xs[i]) - step);
        if (dx >= r) continue;
        const double half = std::sqrt(r * r - dx * dx);
        const SectionPoint& edge = low ? outline[j].low : outline[j].high;
        const double floor = (low ? floors.low(xs[j]) : floors.high(xs[j])) + settings.allowance;
        if (low) {
          y = std::min(y, edge.y - half);
          if (edge.y > block.y0) z = std::max(z, floor);
        } else {
          y = std::max(y, edge.y + half);
          if (edge.y < block.y1) z = std::max(z, floor);
        }
      }
      constexpr double kBeyond = 0.01;  // where the cut beside the outline begins
      path[i] = {xs[i], low ? y - kBeyond - settings.tolerance : y + kBeyond + settings.tolerance, z};
    }
    // The blade on the right: the near side (low Y) is cut towards the hub,
    // the far side towards the tip.
    if (low) std::reverse(path.begin(), path.end());
    // The points the path needs seen from above: every layer keeps them,
    // so that where the layers lie level they follow the same line, and a
    // sliver the one before passed by is not met whole by the next.
    std::vector<bool> corner(path.size(), false);
    {
      std::vector<Vec3> flat(path.size());
      for (std::size_t i = 0; i < path.size(); ++i) flat[i] = {path[i].x, path[i].y, 0};
      const std::vector<bool> none(path.size(), false);
      const std::vector<Vec3> kept = thinned(flat, none, settings.tolerance);
      std::size_t q = 0;
      for (std::size_t i = 0; i < path.size() && q < kept.size(); ++i) {
        if (flat[i].x == kept[q].x && flat[i].y == kept[q].y) corner[i] = true, ++q;
      }
      // Every point onto the straight line between the corners about it,
      // which it lies within the tolerance of: any layer's moves then run
      // along that one line.
      std::size_t last = 0;
      for (std::size_t i = 1; i < path.size(); ++i) {
        if (!corner[i]) continue;
        for (std::size_t j = last + 1; j < i; ++j) {
          const double t = (path[j].x - path[last].x) / (path[i].x - path[last].x);
          path[j].y = path[last].y + t * (path[i].y - path[last].y);
        }
        last = i;
      }
    }
    double floor = std::numeric_limits<double>::infinity();
    for (const Vec3& p : path) {
      if (std::isfinite(p.z)) floor = std::min(floor, p.z);
    }
    if (!std::isfinite(floor)) continue;
    for (int k = 1;; ++k) {
      const double level = std::max(block.top - k * settings.depth, floor);
      // Where material stands above the pass, it is cut from one place
      // clear of material to the next.
      std::vector<Vec3> pass(path.size());
      std::vector<bool> meets(path.size());
      for (std::size_t i = 0; i < path.size(); ++i) {
        pass[i] = {path[i].x, path[i].y, std::max(level, path[i].z)};
        meets[i] = stock.highestWithin(pass[i].x, pass[i].y, r + kStockRim) > pass[i].z + kMet;
      }
      for (std::size_t i = 0; i < path.size();) {
        if (!meets[i]) {
          ++i;
          continue;
        }
        std::size_t end = i;
        while (end + 1 < path.size() && meets[end + 1]) ++end;
        const std::size_t from = i > 0 ? i - 1 : i, to = std::min(path.size() - 1, end + 1);
        const std::vector<Vec3> cut(pass.begin() + static_cast<std::ptrdiff_t>(from),
                                    pass.begin() + static_cast<std::ptrdiff_t>(to) + 1);
        const std::vector<bool> forced(corner.begin() + static_cast<std::ptrdiff_t>(from),
                                       corner.begin() + static_cast<std::ptrdiff_t>(to) + 1);
        const std::vector<Vec3> kept = thinned(cut, forced, settings.tolerance);
        travelOver(stock, cutter, moves, kept.front());
        for (std::size_t q = 1; q < kept.size(); ++q) moves.push_back({PathMoveKind::Cut, kept[q]});
        for (std::size_t q = from; q <= to; q += 2) stock.lower(cutter, pass[q].x, pass[q].y, pass[q].z);
        stock.lower(cutter, pass[to].x, pass[to].y, pass[to].z);
        for (const Vec3& p : kept) lowest = std::min(lowest, p.z);
        i = to + 1;
      }
      if (level <= floor) break;
    }
  }
  return lowest;
}

}  // namespace ventaro
