#include "core/section_placement.h"

#include <cmath>

#include "core/checked.h"

namespace ventaro {

StationFrame frameOf(const BladeStation& station, int index, Sweep sweep) {
  const Step step{"the section offsets", std::nullopt, index, sweepName(sweep)};
  StationFrame frame{&station, std::sin(station.Twist), std::cos(station.Twist), 0.0f, 0.0, index, sweep};
  // The Y offset is scaled in single precision, the Z offset in double.
  frame.a = toSingleN(mulN(static_cast<double>(station.OffsetY), 1000.0, step), step);
  frame.oz = mulN(station.OffsetZ, 1000.0, step);
  return frame;
}

PlacedPoint placePoint(const StationFrame& f, const SectionTable& table, int j) {
  const Step step{"a section point", std::nullopt, f.index, sweepName(f.sweep)};
  const double x = table.ProfileX(j);
  const double y = table.ProfileY(j);
  const double c = f.station->ChordScale;

  // v = x cos(beta) - y sin(beta); negating y is exact.
  const double v = addN(mulN(-y, f.s, step), mulN(x, f.co, step), step);
  const double Y = addN(mulN(v, c, step), static_cast<double>(f.a), step);
  // w = x sin(beta) + y cos(beta)
  const double w = addN(mulN(y, f.co, step), mulN(x, f.s, step), step);
  const float Z = toSingleN(addN(mulN(w, c, step), f.oz, step), step);
  return {Y, Z};
}

float stationX(const BladeStation& station, int index, Sweep sweep) {
  const Step step{"the station X", std::nullopt, index, sweepName(sweep)};
  return toSingleN(mulN(static_cast<double>(station.Radius), 1000.0, step), step);
}

}  // namespace ventaro
