// The NACA 4412 polars shipped with Ventaro, at Reynolds numbers from 50,000
// to 1,000,000 and angles from -10° to 20°, made with XFOIL
// (scripts/make-polars.sh, Ncrit 9): the blade's performance can be worked
// out without XFOIL installed.
#pragma once

#include <vector>

#include "aero/polar.h"

namespace ventaro {

const std::vector<Polar>& naca4412Polars();

}  // namespace ventaro
