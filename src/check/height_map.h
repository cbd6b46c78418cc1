// The block (see shop_block.h) as a height map: a grid of square cells over the block's top
// face, each holding the Z of the material's top at the cell's centre. A
// fresh map is the uncut block, every cell at the top face.
#pragma once

#include <utility>
#include <vector>

#include "blade/shop_block.h"

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

  // The cells are stored tile by tile, kTile by kTile cells each, rows
  // within a tile: a tool's footprint then lies in a few runs of memory
  // instead of one short piece of each of many long rows. A run of cells
  // along a row within one tile is contiguous. The tiles on the far edges
  // are padded with cells that are not part of the map, at minus infinity.
  static constexpr int kTile = 16;
  int tileColumns() const { return tileColumns_; }
  int tileRows() const { return tileRows_; }

  double& at(int i, int j) { return z_[index(i, j)]; }
  double at(int i, int j) const { return z_[index(i, j)]; }
  std::size_t index(int i, int j) const {
    const auto tile = static_cast<std::size_t>(j / kTile) * static_cast<std::size_t>(tileColumns_) +
                      static_cast<std::size_t>(i / kTile);
    return tile * (kTile * kTile) + static_cast<std::size_t>((j % kTile) * kTile + i % kTile);
  }
  // Every cell by index(), padding included.
  std::vector<double>& heights() { return z_; }
  const std::vector<double>& heights() const { return z_; }

 private:
  Block block_;
  double cell_;
  int columns_, rows_;
  int tileColumns_, tileRows_;
  std::vector<double> z_;
};

}  // namespace ventaro
