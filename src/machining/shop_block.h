// The block the shop job mills the blade from: X along the span from the hub
// radius to the tip, Y across the chord from 0 to the stock width ("Max.
// Chord"), Z up to its top face.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>

#include "core/job_parameters.h"
#include "core/run_error.h"
#include "machining/design_record.h"

namespace ventaro {

struct Block {
  double x0 = 0, x1 = 0;  // millimetres
  double y0 = 0, y1 = 0;
  double top = 0;
};

// A job that cannot be laid out: no stations, an empty block, a field that
// is not a number.
class ShopError : public std::runtime_error {
 public:
  explicit ShopError(const std::string& text) : std::runtime_error(text) {}
  // A job field it cannot use: "the shop job needs NAME to be WANT, not
  // “TEXT”". what() names the field by its label; report() as the client
  // names its fields (the command line adds the option).
  ShopError(Field field, std::string want, std::string text);

  const std::optional<Field>& field() const { return field_; }
  std::string report(const FieldNamer& name) const;

 private:
  std::optional<Field> field_;
  std::string want_, text_;
};

// The highest placed point of the finishing stations.
double highestPlacedPoint(const DesignRecord& record);

// The block for the job fields. Its top is `top` when given; otherwise the
// highest placed point plus the stock allowance (passes times roughing depth
// plus finish depth), the height where the plain program's first roughing
// pass starts. Raises ShopError for an empty block or a record without
// finishing stations, RunError for a field that is not a number.
Block shopBlock(const JobFields& fields, const DesignRecord& record, std::optional<double> top);

}  // namespace ventaro
