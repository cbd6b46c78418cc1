// The cut of a coordinate word's six characters in the common case, inline
// so that the loops writing the move lines, which make one for every point
// of every pass, need no call for it. number_text.h has the whole rule; this
// part returns false where it does not decide, and the caller then takes the
// general way.
#pragma once

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "core/number_text.h"

namespace ventaro::detail {

// 1E-5 to 1E16, index e + 5 for 1E(e).
inline constexpr double kDecades[22] = {1e-5, 1e-4, 1e-3, 1e-2, 1e-1, 1e0,  1e1,  1e2,  1e3,  1e4,  1e5,
                                        1e6,  1e7,  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16};

inline constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The six characters of a coordinate word, the most frequent cut of all
// (every Z of every roughing pass), without a branch on the value's
// magnitude or sign. With `lead` the characters before the point (at least
// the "0" of a value below 1) and `room` six less the sign, the cut keeps
// room - 1 - lead decimals, or none; the digits it shows are then those of
// floor(magnitude * 10^decimals), `lead + decimals` of them with leading
// zeros ("0.0012" is 12 at four decimals). The digits are known from the
// product when its fraction lies farther from a whole number than rounding
// to `kDigits` significant digits (for a double half a unit of the 15th, at
// most 5E-10 of a unit of the last digit shown, since at most six are shown;
// for a single see below) and the product's
// own rounding (below 1.2E-10 of a unit for a product below 10^6) can move
// it: then the text goes on beyond the cut, so no trailing zero is dropped
// from it, and the cut is the first six characters of "lead digits, point,
// decimals". Anything nearer a whole number, or outside 1E-4 to below
// 10^room, goes the general way.
template <int kDigits>
inline __attribute__((always_inline)) bool coordCut(double value, std::uint64_t& chars, int& leadChars) {
  if constexpr (std::endian::native != std::endian::little) return false;
  const double magnitude = std::fabs(value);
  const int sign = std::signbit(value) ? 1 : 0;
  const int room = 6 - sign;
  if (!(magnitude >= 1e-4 && magnitude < kDecades[room + 5])) return false;
  const int lead = 1 + (magnitude >= 1e1) + (magnitude >= 1e2) + (magnitude >= 1e3) + (magnitude >= 1e4) +
                   (magnitude >= 1e5);  // at most room
  const int decimals = std::max(room - 1 - lead, 0);
  const double scaled = magnitude * kDecades[decimals + 5];
  const auto shown = static_cast<std::uint32_t>(scaled);  // below 10^6
  const double fraction = scaled - static_cast<double>(shown);
  double margin = 1e-9;
  if constexpr (kDigits == 7) {
    // A single's text has seven significant digits, so rounding moves it by
    // up to half a unit of the seventh: 0.05 of the last digit shown when
    // six significant digits are, ten times less for each fewer. The zeros
    // after the point of a value below 1 are no significant digits.
    constexpr double kMargins[7] = {5.01e-8, 5.01e-7, 5.01e-6, 5.01e-5, 5.01e-4, 5.01e-3, 5.01e-2};
    const int zeros = (magnitude < 1.0) + (magnitude < 1e-1) + (magnitude < 1e-2) + (magnitude < 1e-3);
    margin = kMargins[lead + decimals - zeros];
  }
  if (!(fraction > margin && fraction < 1.0 - margin)) return false;

  // Six digits with leading zeros, the first in the lowest byte; the last
  // lead + decimals of them are the text's digits.
  const auto pair = [](std::uint32_t x) {
    std::uint16_t bytes = 0;
    std::memcpy(&bytes, kDigitPairs + 2 * x, 2);
    return static_cast<std::uint64_t>(bytes);
  };
  const std::uint64_t six = pair(shown / 10000) | pair(shown / 100 % 100) << 16 | pair(shown % 100) << 32;
  const int count = lead + decimals;  // 1 to 6
  const std::uint64_t digitBytes = six >> (8 * (6 - count));
  const int leadBits = 8 * lead;  // 8 to 48
  const std::uint64_t leadMask = (std::uint64_t{1} << leadBits) - 1;
  std::uint64_t text = (digitBytes & leadMask) | std::uint64_t{'.'} << leadBits | (digitBytes & ~leadMask) << 8;
  // The text goes on beyond the cut (count + 1 >= room), so the cut is
  // always six characters; the lead, sign included, fits them.
  chars = (text << (8 * sign)) | static_cast<std::uint64_t>(sign * '-');
  leadChars = lead + sign;
  return true;
}

}  // namespace ventaro::detail
