// The blade at equally spaced spanwise stations, by the Betz optimum rule:
// inflow angle atan(2 / (3 λr)) with the local speed ratio λr = λ r / (D/2),
// chord from the inflow angle, blade count and design lift coefficient.
#pragma once

#include <array>
#include <cstdint>

#include "core/job_parameters.h"

namespace ventaro {

struct BladeStation {
  float Radius = 0;       // metres from the rotor axis
  double ChordScale = 0;  // millimetres per percent of chord (ten times the chord in metres)
  double Twist = 0;       // radians: inflow angle minus angle of attack
  double OffsetZ = 0;     // metres, height of the section's leading edge
  float OffsetY = 0;      // metres, cross offset of the section's leading edge
};

enum class Sweep { Roughing, Finishing };
const char* sweepName(Sweep sweep);  // "roughing" / "finishing"

// The angle of attack is turned into radians with pi taken as 3.14159: the
// twist, and with it every digit of the program, depends on this value.
inline constexpr double kDegreesPerRadian = 180.0 / 3.14159;

// Station indices run from 0 to 1000; reaching 1001 is an error.
inline constexpr int kMaxStation = 1000;

class StationTable {
 public:
  // Raises subscript out of range for an index beyond the table.
  BladeStation& at(int i, Sweep sweep);

 private:
  std::array<BladeStation, kMaxStation + 1> stations_{};
};

// The last station index N of a sweep with station count S:
// N = round(S - (2 Rh / D) S), an exact half to the even neighbour. The count
// spaces the stations over the whole radius, so only those from the hub out
// are generated. Overflow when N does not fit 16 bits.
std::int16_t LastStation(const BladeParameters& p, const TextNumber& S, Sweep sweep);

// The values of station i for station count S.
BladeStation computeStation(const BladeParameters& p, const TextNumber& S, int i, Sweep sweep);

}  // namespace ventaro
