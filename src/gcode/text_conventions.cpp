#include "gcode/text_conventions.h"

#include <cmath>

namespace ventaro {

namespace {

constexpr std::size_t kCoordWidth = 6;

template <typename T>
void appendCut(std::string& out, T value) {
  // Below 1E-4 the number text turns to exponent form, and six characters
  // of it are no coordinate: "1.2345E-05" cut reads as 1.2345 mm, "1.5E-05"
  // as 1.5 followed by a stray E word. Such a coordinate is written as the
  // cut of its plain decimal form instead, which at that magnitude holds
  // only zeros: the position is right to the four decimals the word keeps.
  if (value != 0 && std::fabs(value) < static_cast<T>(1e-4)) {
    out += value < 0 ? "-0.000" : "0.0000";
    return;
  }
  appendNumberTextCut(out, value, kCoordWidth);
}

}  // namespace

void appendCoordText(std::string& out, float value) { appendCut(out, value); }
void appendCoordText(std::string& out, double value) { appendCut(out, value); }

std::string CoordText(float value) {
  std::string text;
  appendCut(text, value);
  return text;
}

std::string CoordText(double value) {
  std::string text;
  appendCut(text, value);
  return text;
}

}  // namespace ventaro
