// Places the airfoil section at one station in machine coordinates, in
// millimetres: X along the span (the station radius), Y across the stock in
// the direction of the chord, Z the height of the upper surface.
#pragma once

#include "core/blade_stations.h"
#include "core/section_table.h"

namespace ventaro {

struct PlacedPoint {
  double Y;  // SectionY: stays double
  float Z;   // SectionZ: rounded to single
};

// A station's sine and cosine of its twist, taken once: every point of the
// station uses the same two values.
struct StationFrame {
  const BladeStation* station;
  double s;   // sin(Twist)
  double co;  // cos(Twist)
  float a;    // OffsetY * 1000, in single precision
  double oz;  // OffsetZ * 1000, in double precision
  int index;
  Sweep sweep;
};

StationFrame frameOf(const BladeStation& station, int index, Sweep sweep);

// Turns point j by the twist, scales it to the chord and shifts it by the
// station's offsets.
PlacedPoint placePoint(const StationFrame& frame, const SectionTable& table, int j);

// StationX: the radius in millimetres, rounded to single.
float stationX(const BladeStation& station, int index, Sweep sweep);

}  // namespace ventaro
