#include "blade/shop_block.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/number_text.h"

namespace ventaro {

double highestPlacedPoint(const DesignRecord& record) {
  double highest = -std::numeric_limits<double>::infinity();
  for (const StationRecord& st : record.finishing) {
    for (int j = SectionTable::kLower; j <= SectionTable::kUpper; ++j) {
      highest = std::max(highest, static_cast<double>(st.points[static_cast<std::size_t>(j)].Z));
    }
  }
  return highest;
}

Block blockExtent(const BladeParameters& p) {
  Block block;
  // The hub radius as the computation read it, in single precision.
  block.x0 = static_cast<double>(p.HubRad) * 1000.0;
  block.x1 = p.D.value() * 500.0;
  block.y0 = 0;
  block.y1 = p.Max.value() * 1000.0;
  if (!(block.x1 > block.x0) || !(block.y1 > block.y0) || !std::isfinite(block.x1) || !std::isfinite(block.y1)) {
    throw ShopError("the block is empty: the tip must lie beyond the hub and the stock width must be positive");
  }
  return block;
}

Block plainJobBlock(const BladeParameters& p, const DesignRecord& record, std::optional<double> top) {
  if (record.finishing.empty()) throw ShopError("the blade has no finishing station, so there is nothing to mill");
  Block block = blockExtent(p);
  if (top) {
    block.top = *top;
  } else {
    const double passes = static_cast<double>(p.RoughPassesNo);
    block.top = highestPlacedPoint(record) + (passes * p.RoughDepth.value() + p.FinishDepth.value());
  }
  if (!std::isfinite(block.top)) throw ShopError("the block top is not a finite height");
  return block;
}

}  // namespace ventaro
