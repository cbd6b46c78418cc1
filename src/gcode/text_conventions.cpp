#include "gcode/text_conventions.h"

#include <cstring>

namespace ventaro {

NumberCut CoordWord::tinyCut(bool negative) {
  NumberCut cut;
  std::memcpy(&cut.chars, negative ? "-0.000" : "0.0000", kCoordWidth);
  cut.form = NumberCut::formOf(kCoordWidth, negative ? 2 : 1, false);
  return cut;
}

std::string CoordText(float value) { return std::string(CoordWord(value).text()); }
std::string CoordText(double value) { return std::string(CoordWord(value).text()); }

void raiseWordOverflow(const std::string& valueText, char axis, const WordPlace& place) {
  std::string detail = "the ";
  detail += axis;
  detail += " coordinate " + valueText + " of " + place.what + " " + std::to_string(place.number) +
            " does not fit the six characters of a coordinate word";
  raise(ErrorKind::Overflow, place.field, detail);
}

}  // namespace ventaro
