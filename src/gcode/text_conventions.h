// How the program text is written: lines joined by carriage return + line
// feed, with no line break at the start or the end of the program.
// Coordinates are their general number text cut (not rounded) to six
// characters, as the machine controllers of our users expect them.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "core/coord_cut.h"
#include "core/number_text.h"

namespace ventaro {

inline constexpr std::string_view kLineBreak = "\r\n";
inline constexpr std::size_t kCoordWidth = 6;

// The first six characters of the number text (the whole text if shorter);
// below 1E-4 the cut of the plain decimal form.
std::string CoordText(float value);
std::string CoordText(double value);

// One coordinate of a move line: its value and its six characters, made
// once and copied into every line that uses it (a station's X stands in all
// of its lines, a roughing point's Y in every pass).
class CoordWord {
 public:
  explicit CoordWord(float value) : value_(value) { make(value); }
  explicit CoordWord(double value) : value_(value) { make(value); }

  // Whether the six characters hold the value to the cut's precision. An
  // integer part of seven or more characters (the sign counts), or a number
  // text in exponent form, would be cut to a different number, which the
  // controller would then run.
  bool fits() const { return (lastByte() & kTooLong) == 0; }

  double value() const { return value_; }
  std::string_view text() const { return {reinterpret_cast<const char*>(&bytes_), size()}; }
  // The text's bytes as they lie in memory, eight of them: copied whole,
  // then cut to the size.
  std::uint64_t bytes() const { return bytes_; }
  std::size_t size() const { return lastByte() & 0x0F; }

 private:
  static constexpr std::uint64_t kTooLong = 0x80;

  template <typename T>
  __attribute__((always_inline)) void make(T value) {
    // The common case, decided inline: six characters that fit.
    constexpr int kDigits = std::is_same_v<T, double> ? 15 : 7;
    std::uint64_t chars = 0;
    int leadChars = 0;
    if (detail::coordCut<kDigits>(static_cast<double>(value), chars, leadChars)) {
      store(chars, kCoordWidth);
      return;
    }
    keep(cutOf(value));
  }
  // Below 1E-4 the number text turns to exponent form, and six characters
  // of it are no coordinate: "1.2345E-05" cut reads as 1.2345 mm, "1.5E-05"
  // as 1.5 followed by a stray E word. Such a coordinate is written as the
  // cut of its plain decimal form instead, which at that magnitude holds
  // only zeros: the position is right to the four decimals the word keeps.
  template <typename T>
  static NumberCut cutOf(T value) {
    if (value != 0 && std::fabs(value) < static_cast<T>(1e-4)) return tinyCut(value < 0);
    return numberTextCut(value, kCoordWidth);
  }
  static NumberCut tinyCut(bool negative);

  // The text, and in the last of its eight bytes its size and whether the
  // value fits.
  void keep(const NumberCut& cut) {
    store(cut.chars, cut.size() | (cut.exponentForm() || cut.leadChars() > kCoordWidth ? kTooLong : 0));
  }
  void store(std::uint64_t chars, std::uint64_t last) {
    bytes_ = std::endian::native == std::endian::little ? (chars & 0x00FFFFFFFFFFFFFFULL) | last << 56
                                                        : (chars & ~std::uint64_t{0xFF}) | last;
  }
  std::uint64_t lastByte() const { return std::endian::native == std::endian::little ? bytes_ >> 56 : bytes_ & 0xFF; }

  double value_;
  std::uint64_t bytes_ = 0;
};

// Where a coordinate stands, for the error when it does not fit.
struct WordPlace {
  const char* what;  // "roughing station", "finishing station", "the rapid move of roughing pass"
  int number;
  std::optional<Field> field;  // the field to blame, where one is known
};

// An Overflow run error naming the axis, the value and its place.
[[noreturn]] void raiseWordOverflow(const std::string& valueText, char axis, const WordPlace& place);

// The word of a coordinate, which must fit.
template <typename T>
CoordWord coordWord(T value, char axis, const WordPlace& place) {
  const CoordWord word(value);
  if (!word.fits()) raiseWordOverflow(NumberText(value), axis, place);
  return word;
}

}  // namespace ventaro
