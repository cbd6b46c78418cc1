// The design table of both sweeps as CSV (RFC 4180: comma separated, CR LF
// line ends, fields quoted where they need it), one row per station, with a
// header row that gives each column's unit and precision.
#pragma once

#include <string>
#include <string_view>

#include <optional>
#include <vector>

#include "aero/bem.h"
#include "blade/design_record.h"

namespace ventaro {

// Angles and the stock width a station table needs besides the record.
struct StationGeometry {
  double attackRadians;  // the angle of attack as the core converts it (kDegreesPerRadian)
  double stockWidthMm;   // Max, the stock width, in millimetres
};

// From the parameters of a run that succeeded (their texts are numbers).
StationGeometry stationGeometry(const BladeParameters& p);

// The section index with the greatest ordinate (40 % chord for the NACA 4412).
int thickestIndex(const SectionTable& table);

// One station's values in millimetres and degrees.
struct StationValues {
  double radiusMm, chordMm, twistDeg, inflowDeg;
  double leadingY, leadingZ, trailingY, trailingZ;
  double trailingDrop;  // trailing-edge Z minus leading-edge Z
  double thickY, thickZ;
  bool widerThanStock;
  bool leadingOutside, trailingOutside;  // edge beyond Y 0 or the stock width
};

StationValues stationValues(const StationRecord& rec, const StationGeometry& geo, int thickest);

// A CSV field, quoted (with doubled quotes) when it holds a comma, a quote,
// a carriage return or a line feed.
std::string csvField(std::string_view text);

// The rotor at its design point, at one station: what the blade element
// momentum analysis finds there. Absent where there is none.
using StationAero = std::optional<ElementState>;

// The table, a row per station of both sweeps; `aero` gives each row's
// design point in the same order (empty cells where it gives none).
std::string stationCsv(const DesignRecord& record, const StationGeometry& geo, const SectionTable& table,
                       const std::vector<StationAero>& aero = {});

}  // namespace ventaro
