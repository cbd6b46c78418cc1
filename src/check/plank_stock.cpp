#include "check/plank_stock.h"

#include <algorithm>
#include <cmath>

namespace ventaro {

PlankColumns::PlankColumns(const HeightMap& sideA, const HeightMap& sideB, double thickness) {
  const Block& a = sideA.block();
  const Block& b = sideB.block();
  if (a.x0 != b.x0 || a.x1 != b.x1 || a.y0 != b.y0 || a.y1 != b.y1 || sideA.cell() != sideB.cell() ||
      sideA.columns() != sideB.columns() || sideA.rows() != sideB.rows()) {
    throw ShopError("the two sides' checks do not cover the same plank in the same cells");
  }
  columns_ = sideA.columns();
  rows_ = sideA.rows();
  x0_ = a.x0;
  y0_ = a.y0;
  cell_ = sideA.cell();
  floor_.resize(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_));
  top_.resize(floor_.size());
  for (int j = 0; j < rows_; ++j) {
    // Turned over about X, the plank's Y runs the other way: the column at
    // Y lies under side B's at y0 + y1 - Y.
    const double mirrored = a.y0 + a.y1 - yAt(j);
    const int jb = std::clamp(static_cast<int>(std::floor((mirrored - a.y0) / cell_)), 0, rows_ - 1);
    for (int i = 0; i < columns_; ++i) {
      top_[at(i, j)] = sideA.at(i, j);
      floor_[at(i, j)] = thickness - sideB.at(i, jb);
    }
  }
}

std::vector<int> PlankColumns::pieces(int& count) const {
  std::vector<int> piece(top_.size(), -1);
  count = 0;
  std::vector<std::pair<int, int>> stack;
  const auto joined = [&](int i, int j, int k, int l) {
    return std::min(top(i, j), top(k, l)) - std::max(floor(i, j), floor(k, l)) > kSolid;
  };
  for (int j0 = 0; j0 < rows_; ++j0) {
    for (int i0 = 0; i0 < columns_; ++i0) {
      if (!solid(i0, j0) || piece[at(i0, j0)] >= 0) continue;
      piece[at(i0, j0)] = count;
      stack.push_back({i0, j0});
      while (!stack.empty()) {
        const auto [i, j] = stack.back();
        stack.pop_back();
        for (const auto& [di, dj] : {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}}) {
          const int k = i + di, l = j + dj;
          if (k < 0 || l < 0 || k >= columns_ || l >= rows_ || piece[at(k, l)] >= 0) continue;
          if (!solid(k, l) || !joined(i, j, k, l)) continue;
          piece[at(k, l)] = count;
          stack.push_back({k, l});
        }
      }
      ++count;
    }
  }
  return piece;
}

PlankFigures plankFigures(const PlankColumns& c, const PlankTarget& target) {
  PlankFigures out;
  const std::vector<int> piece = c.pieces(out.pieces);
  std::vector<double> outside;
  int held = -1;  // the piece of the first blade or kept column
  bool oneHeld = true, anyKept = false;
  for (int j = 0; j < c.rows(); ++j) {
    for (int i = 0; i < c.columns(); ++i) {
      const double x = c.xAt(i), y = c.yAt(j);
      const std::size_t k =
          static_cast<std::size_t>(j) * static_cast<std::size_t>(c.columns()) + static_cast<std::size_t>(i);
      const bool inside = target.inside(x, y), kept = !inside && target.kept(x, y);
      if (inside) {
        out.deepestFromAbove = std::max(out.deepestFromAbove, target.top(x, y) - c.top(i, j));
        out.deepestFromBelow = std::max(out.deepestFromBelow, c.floor(i, j) - target.bottom(x, y));
        if (target.interior(x, y)) out.mostLeftBelow = std::max(out.mostLeftBelow, target.bottom(x, y) - c.floor(i, j));
      } else if (!kept && (!target.beside || target.beside(x, y))) {
        ++out.columnsOutside;
        const double left = std::max(0.0, c.top(i, j) - c.floor(i, j));
        if (left > 0.5) ++out.leftOutside;
        outside.push_back(left);
      }
      if (inside || kept) {
        anyKept = anyKept || kept;
        // An empty column of the blade is a hole through it: not held.
        if (piece[k] < 0 || (held >= 0 && piece[k] != held)) oneHeld = false;
        if (held < 0) held = piece[k];
      }
    }
  }
  out.bladeHeld = oneHeld && anyKept && held >= 0;
  if (!outside.empty()) {
    const std::size_t rank =
        std::min(outside.size() - 1, static_cast<std::size_t>(std::ceil(0.99 * outside.size())) - 1);
    std::nth_element(outside.begin(), outside.begin() + static_cast<std::ptrdiff_t>(rank), outside.end());
    out.leftOutside99 = outside[rank];
  }
  return out;
}

}  // namespace ventaro
