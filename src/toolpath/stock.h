// The stock as a tool path leaves it, on a coarse grid: what the links
// between cuts must pass above, and where a later pass still meets
// material.
#pragma once

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "blade/shop_block.h"
#include "toolpath/drop_cutter.h"
#include "toolpath/raster_paths.h"

namespace ventaro {

// The stock as the roughing tool leaves it: a grid of square cells over the
// block, each holding the material's top at its centre, lowered under the
// cutter at every sampled position of its path. Between two samples a rim of
// a few hundredths of a millimetre may stay counted as material: the rest
// pass then cuts a little air, never less than there is.
class Stock {
 public:
  Stock(const Block& b, double cell)
      : x0_(b.x0),
        y0_(b.y0),
        cell_(cell),
        nx_(std::max(1, static_cast<int>(std::ceil((b.x1 - b.x0) / cell)))),
        ny_(std::max(1, static_cast<int>(std::ceil((b.y1 - b.y0) / cell)))),
        z_(static_cast<std::size_t>(nx_) * static_cast<std::size_t>(ny_), b.top) {}

  // The cutter's underside at a distance d from its axis, above its tip.
  static double rise(const Cutter& c, double d2) {
    return c.shape == ToolShape::Ball ? c.radius - std::sqrt(std::max(0.0, c.radius * c.radius - d2)) : 0;
  }

  void lower(const Cutter& c, double x, double y, double tip) {
    within(x, y, c.radius, [&](double& h, double d2) { h = std::min(h, tip + rise(c, d2)); });
  }
  // The highest material within `r` of (x, y); minus infinity where no
  // cell lies so near.
  double highestWithin(double x, double y, double r) {
    double most = -std::numeric_limits<double>::infinity();
    within(x, y, r, [&](const double& h, double) { most = std::max(most, h); });
    return most;
  }
  // The highest material within a rectangle; minus infinity for none.
  double highest(double xlo, double ylo, double xhi, double yhi) const {
    double most = -std::numeric_limits<double>::infinity();
    const auto [i0, i1] = range(xlo, xhi, x0_, nx_);
    const auto [j0, j1] = range(ylo, yhi, y0_, ny_);
    for (int i = i0; i <= i1; ++i) {
      for (int j = j0; j <= j1; ++j) most = std::max(most, z_[index(i, j)]);
    }
    return most;
  }

 private:
  // The cells whose centres lie within [lo, hi] along one axis.
  std::pair<int, int> range(double lo, double hi, double origin, int n) const {
    return {std::max(0, static_cast<int>(std::ceil((lo - origin) / cell_ - 0.5))),
            std::min(n - 1, static_cast<int>(std::floor((hi - origin) / cell_ - 0.5)))};
  }
  std::size_t index(int i, int j) const {
    return static_cast<std::size_t>(i) * static_cast<std::size_t>(ny_) + static_cast<std::size_t>(j);
  }
  template <typename F>
  void within(double x, double y, double r, F&& f) {
    const auto [i0, i1] = range(x - r, x + r, x0_, nx_);
    for (int i = i0; i <= i1; ++i) {
      const double dx = x0_ + (i + 0.5) * cell_ - x;
      const double half = std::sqrt(std::max(0.0, r * r - dx * dx));
      const auto [j0, j1] = range(y - half, y + half, y0_, ny_);
      for (int j = j0; j <= j1; ++j) {
        const double dy = y0_ + (j + 0.5) * cell_ - y;
        f(z_[index(i, j)], dx * dx + dy * dy);
      }
    }
  }

  double x0_, y0_, cell_;
  int nx_, ny_;
  std::vector<double> z_;
};

// The stock's cells hold the material at their centres; material within a
// cell of the tool's reach counts as under it.
inline constexpr double kStockRim = 1;

// Up above the material between the tool and `to` (2 mm above the highest
// the stock holds within the tool's reach of the way), across, and down to
// it, the last millimetre fed; the first move of a tool goes straight to a
// millimetre above `to`.
void travelOver(const Stock& stock, const Cutter& cutter, std::vector<PathMove>& moves, const Vec3& to);

}  // namespace ventaro
