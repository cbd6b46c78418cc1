#include "check/height_map.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ventaro {

namespace {

int cellsAlong(double length, double cell) {
  // A length that is a whole number of cells up to rounding gets exactly
  // that many.
  return std::max(1, static_cast<int>(std::ceil(length / cell - 1e-9)));
}

// Indices k in [0, count) with origin + (k + 0.5) cell in [lo, hi].
std::pair<int, int> within(double origin, double cell, int count, double lo, double hi) {
  const double first = std::ceil((lo - origin) / cell - 0.5);
  const double last = std::floor((hi - origin) / cell - 0.5);
  const int begin = static_cast<int>(std::clamp(first, 0.0, static_cast<double>(count)));
  const int end = static_cast<int>(std::clamp(last + 1, 0.0, static_cast<double>(count)));
  return {begin, std::max(begin, end)};
}

}  // namespace

HeightMap::HeightMap(const Block& block, double cell)
    : block_(block),
      cell_(cell),
      columns_(cellsAlong(block.x1 - block.x0, cell)),
      rows_(cellsAlong(block.y1 - block.y0, cell)),
      tileColumns_((columns_ + kTile - 1) / kTile),
      tileRows_((rows_ + kTile - 1) / kTile),
      z_(static_cast<std::size_t>(tileColumns_) * static_cast<std::size_t>(tileRows_) * (kTile * kTile),
         -std::numeric_limits<double>::infinity()) {
  for (int j = 0; j < rows_; ++j) {
    for (int i = 0; i < columns_; ++i) z_[index(i, j)] = block.top;
  }
}

std::pair<int, int> HeightMap::columnsWithin(double lo, double hi) const {
  return within(block_.x0, cell_, columns_, lo, hi);
}

std::pair<int, int> HeightMap::rowsWithin(double lo, double hi) const {
  return within(block_.y0, cell_, rows_, lo, hi);
}

}  // namespace ventaro
