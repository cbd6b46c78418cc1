// How the program text is written: lines joined by carriage return + line
// feed, with no line break at the start or the end of the program; a pass
// text collects its lines the same way and so begins with a line break.
// Coordinates are their general number text cut (not rounded) to six
// characters, as the machine controllers of our users expect them.
#pragma once

#include <string>
#include <string_view>

#include "core/number_text.h"

namespace ventaro {

inline constexpr std::string_view kLineBreak = "\r\n";

// Sets `text` to itself, a line break and `line`.
inline void AppendLine(std::string& text, std::string_view line) {
  text += kLineBreak;
  text += line;
}

// The first six characters of the number text (the whole text if shorter).
std::string CoordText(float value);
std::string CoordText(double value);
void appendCoordText(std::string& out, float value);
void appendCoordText(std::string& out, double value);

// Appends a line break and "G1 X<x> Y<y> Z<z>", each word a coordinate text.
template <typename ZType>
void appendLinearMove(std::string& text, float x, double y, ZType z) {
  text += kLineBreak;
  text += "G1 X";
  appendCoordText(text, x);
  text += " Y";
  appendCoordText(text, y);
  text += " Z";
  appendCoordText(text, z);
}

}  // namespace ventaro
