// The one place where numbers become text and texts become numbers. Both
// directions use the full stop as decimal separator whatever the locale of
// the process: G-code needs it, and a program must not change with the
// regional settings of the machine that wrote it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "core/run_error.h"

namespace ventaro {

// Outcome of reading a number text on its own, before any field is blamed.
enum class ParseStatus { Ok, NotANumber, OutOfRange };

struct ParsedNumber {
  ParseStatus status;
  double value;  // meaningful when status is Ok
};

// Accepts blanks (spaces and tabs) around the number, an optional sign,
// digits with an optional full stop and fraction (at least one digit in all),
// and an optional exponent ("e" or "E", optional sign, digits). Anything else
// (the empty text, a comma, "inf", "nan", hexadecimal, thousands separators)
// is not a number. A magnitude beyond the double range is out of range; one
// too small for it becomes zero, the nearest double.
ParsedNumber parseNumber(std::string_view text);

// Two finite numbers with a comma between them ("0.5,0.9", blanks allowed
// around each); none for anything else.
std::optional<std::pair<double, double>> parseNumberPair(std::string_view text);

// Conversions of a field's text at the moment a computation needs it. They
// raise the run's error naming the field: type mismatch for a text that is
// not a number, overflow for a value outside the target's range.
double toDouble(std::string_view text, Field field);
float toSingle(std::string_view text, Field field);
// Rounds to the nearest integer, an exact half to the even neighbour.
std::int16_t toInt16(std::string_view text, Field field);

// The general number text of a single (7 significant digits) or a double
// (15 significant digits): plain decimal form from 1E-4 up to below
// 10^digits, exponent form ("1E-05", "2.5E+20") outside it, no trailing
// zeros, no trailing point, "-" for negative values and "0" for both zeros.
std::string NumberText(float value);
std::string NumberText(double value);

// Appends the number text to `out` without a temporary string.
void appendNumberText(std::string& out, float value);
void appendNumberText(std::string& out, double value);

// Appends the first `width` characters of the number text (the whole text
// when it is shorter): a coordinate word.
void appendNumberTextCut(std::string& out, float value, std::size_t width);
void appendNumberTextCut(std::string& out, double value, std::size_t width);

// The first characters of a number text, at most eight, with what the cut
// may have dropped: how many characters stand before the point (the sign
// included; the whole text when it has no point), and whether the text is
// in exponent form (or names no finite value).
struct NumberCut {
  std::uint64_t chars = 0;  // the text's bytes as they lie in memory; the first size() count
  std::uint64_t form = 0;   // the size, the characters before the point and the exponent form, packed

  std::size_t size() const { return form & 0xFF; }
  std::size_t leadChars() const { return (form >> 8) & 0xFF; }
  bool exponentForm() const { return ((form >> 16) & 1) != 0; }
  // Packed in one word, so that the whole cut travels in two registers.
  static std::uint64_t formOf(std::size_t size, std::size_t leadChars, bool exponentForm) {
    return (size & 0xFF) | (leadChars & 0xFF) << 8 | static_cast<std::uint64_t>(exponentForm) << 16;
  }
};
NumberCut numberTextCut(float value, std::size_t width);
NumberCut numberTextCut(double value, std::size_t width);

}  // namespace ventaro
