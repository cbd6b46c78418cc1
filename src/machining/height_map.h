// The block (see shop_block.h) as a height map: a grid of square cells over the block's top
// face, each holding the Z of the material's top at the cell's centre. A
// fresh map is the uncut block, every cell at the top face.
#pragma once

#include <utility>
#include <vector>

#include "machining/shop_block.h"

namespace ventaro {

class HeightMap {
 public:
  // `cell` must be positive; the grid covers the block with whole cells,
  // the last column and row reaching at most one cell past the far edge.
  HeightMap(const Block& block, double cell);

  int columns() const { return columns_; }
  int rows() const { return rows_; }
  double cell() const { return cell_; }
  const Block& block() const { return block_; }

  // The centre of column i, row j.
  double xAt(int i) const { return block_.x0 + (i + 0.5) * cell_; }
  double yAt(int j) const { return block_.y0 + (j + 0.5) * cell_; }

  // The columns (rows) whose centres lie within [lo, hi], as [first, end).
  std::pair<int, int> columnsWithin(double lo, double hi) const;
  std::pair<int, int> rowsWithin(double lo, double hi) const;

  double& at(int i, int j) { return z_[index(i, j)]; }
  double at(int i, int j) const { return z_[index(i, j)]; }
  std::size_t index(int i, int j) const { return static_cast<std::size_t>(j) * columns_ + i; }
  std::vector<double>& heights() { return z_; }
  const std::vector<double>& heights() const { return z_; }

 private:
  Block block_;
  double cell_;
  int columns_, rows_;
  std::vector<double> z_;
};

}  // namespace ventaro
