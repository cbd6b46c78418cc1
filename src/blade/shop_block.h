// The block the shop job mills the blade from: X along the span from the hub
// radius to the tip, Y across the chord from 0 to the stock width ("Max.
// Chord"), Z up to its top face.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>

#include "blade/design_record.h"
#include "core/job_parameters.h"
#include "core/run_error.h"

namespace ventaro {

struct Block {
  double x0 = 0, x1 = 0;  // millimetres
  double y0 = 0, y1 = 0;
  double top = 0;
  // The underside: Z 0, or lower where the blade dips below it. Nothing is
  // cut there; a setup sheet gives the stock's thickness from it.
  double bottom = 0;
};

// A box in the blade frame: what a job keeps of its stock to hold the blade
// by, in millimetres.
struct KeptBox {
  double x0 = 0, x1 = 0, y0 = 0, y1 = 0, z0 = 0, z1 = 0;
};

// A job that cannot be laid out: no stations, an empty block, a field it
// cannot use. Where a field is to blame, the text names it between `before`
// and `after`, so that each client can name it its own way.
class ShopError : public FieldTextError {
 public:
  using FieldTextError::FieldTextError;
};

// The highest placed point of the finishing stations.
double highestPlacedPoint(const DesignRecord& record);

// The block's extent along X and Y for the rotor fields, its top at 0.
// Raises ShopError for an empty block.
Block blockExtent(const BladeParameters& parameters);

// The block the plain program is milled from. Its top is `top` when given; otherwise the
// highest placed point plus the stock allowance (passes times roughing depth
// plus finish depth), the height where the plain program's first roughing
// pass starts. Raises ShopError for an empty block or a record without
// finishing stations, RunError for a field that is not a number.
Block plainJobBlock(const BladeParameters& parameters, const DesignRecord& record, std::optional<double> top);

}  // namespace ventaro
