// The pieces of an SVG file written as text: numbers for coordinates and
// attributes, and text escaped for XML. Locale-free, no toolkit.
#pragma once

#include <string>
#include <string_view>

namespace ventaro {

// A number rounded to `decimals` places with trailing zeros (and a bare
// decimal point) left off: "488.836", "200", "-75.5". Zero is "0".
std::string svgNumber(double value, int decimals);

// Text for an element's content or a double-quoted attribute: &, <, >, "
// and ' written as entities; control characters XML cannot hold (all below
// a blank except tab, line feed and carriage return) dropped.
std::string xmlEscaped(std::string_view text);

}  // namespace ventaro
