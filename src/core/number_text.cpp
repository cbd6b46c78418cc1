#include "core/number_text.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>

#include "core/coord_cut.h"

namespace ventaro {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Decimal exponent of the leading significant digit of a validated number,
// e.g. 3 for "1234.5", -3 for "0.00123e0", 402 for "1e400". Only used to tell
// an overflow from an underflow, so it saturates instead of overflowing.
long long leadingExponent(std::string_view mantissa, long long exponent) {
  long long position = 0;  // exponent of the first digit before any point
  std::size_t point = mantissa.find('.');
  std::string_view integer = mantissa.substr(0, point);
  position = static_cast<long long>(integer.size()) - 1;
  for (char c : mantissa) {
    if (c == '.') continue;
    if (c != '0') return position + exponent;
    --position;
  }
  return std::numeric_limits<long long>::min() / 2;  // all zeros
}

}  // namespace

ParsedNumber parseNumber(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && isBlank(text[begin])) ++begin;
  while (end > begin && isBlank(text[end - 1])) --end;
  std::string_view number = text.substr(begin, end - begin);

  std::size_t pos = 0;
  bool negative = false;
  if (pos < number.size() && (number[pos] == '+' || number[pos] == '-')) {
    negative = number[pos] == '-';
    ++pos;
  }
  const std::size_t mantissaBegin = pos;
  std::size_t digits = 0;
  while (pos < number.size() && isDigit(number[pos])) ++pos, ++digits;
  if (pos < number.size() && number[pos] == '.') {
    ++pos;
    while (pos < number.size() && isDigit(number[pos])) ++pos, ++digits;
  }
  if (digits == 0) return {ParseStatus::NotANumber, 0.0};
  const std::string_view mantissa = number.substr(mantissaBegin, pos - mantissaBegin);

  long long exponent = 0;
  if (pos < number.size() && (number[pos] == 'e' || number[pos] == 'E')) {
    ++pos;
    bool negativeExponent = false;
    if (pos < number.size() && (number[pos] == '+' || number[pos] == '-')) {
      negativeExponent = number[pos] == '-';
      ++pos;
    }
    std::size_t exponentDigits = 0;
    while (pos < number.size() && isDigit(number[pos])) {
      if (exponent < 1'000'000'000) exponent = exponent * 10 + (number[pos] - '0');
      ++pos, ++exponentDigits;
    }
    if (exponentDigits == 0) return {ParseStatus::NotANumber, 0.0};
    if (negativeExponent) exponent = -exponent;
  }
  if (pos != number.size()) return {ParseStatus::NotANumber, 0.0};

  // The text is now known to be in the accepted form, which from_chars reads
  // the same way in every locale (it takes no leading '+').
  double value = 0.0;
  const char* first = number.data() + mantissaBegin;
  const char* last = number.data() + number.size();
  const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    if (leadingExponent(mantissa, exponent) > 0) return {ParseStatus::OutOfRange, 0.0};
    value = 0.0;  // too small for a double: the nearest double is zero
  } else if (ec != std::errc() || ptr != last) {
    return {ParseStatus::NotANumber, 0.0};
  }
  return {ParseStatus::Ok, negative ? -value : value};
}

double toDouble(std::string_view text, Field field) {
  const ParsedNumber parsed = parseNumber(text);
  switch (parsed.status) {
    case ParseStatus::Ok:
      return parsed.value;
    case ParseStatus::NotANumber:
      raiseAbout(ErrorKind::TypeMismatch, field, "is not a number");
    case ParseStatus::OutOfRange:
      raiseAbout(ErrorKind::Overflow, field, "is out of range");
  }
  raiseAbout(ErrorKind::TypeMismatch, field, "is not a number");
}

float toSingle(std::string_view text, Field field) {
  const double value = toDouble(text, field);
  const float single = static_cast<float>(value);
  if (std::isinf(single)) {
    raiseAbout(ErrorKind::Overflow, field, "is too large for a single-precision number");
  }
  return single;
}

std::int16_t toInt16(std::string_view text, Field field) {
  const double value = toDouble(text, field);
  const double rounded = std::nearbyint(value);  // ties to even in the default rounding mode
  if (!(rounded >= -32768.0 && rounded <= 32767.0)) {
    raiseAbout(ErrorKind::Overflow, field, "is outside -32768 to 32767");
  }
  return static_cast<std::int16_t>(rounded);
}

namespace {

__extension__ typedef unsigned __int128 Wide;

constexpr std::uint64_t kPowersOfTen[20] = {
    1ULL,
    10ULL,
    100ULL,
    1000ULL,
    10000ULL,
    100000ULL,
    1000000ULL,
    10000000ULL,
    100000000ULL,
    1000000000ULL,
    10000000000ULL,
    100000000000ULL,
    1000000000000ULL,
    10000000000000ULL,
    100000000000000ULL,
    1000000000000000ULL,
    10000000000000000ULL,
    100000000000000000ULL,
    1000000000000000000ULL,
    10000000000000000000ULL,
};

using detail::kDecades;
using detail::kDigitPairs;

// Writes `value` (below 10^8) as exactly eight digits, leading zeros kept.
void writeEightDigits(char* out, std::uint32_t value) {
  const std::uint32_t upper = value / 10000;
  const std::uint32_t lower = value % 10000;
  std::memcpy(out, kDigitPairs + 2 * (upper / 100), 2);
  std::memcpy(out + 2, kDigitPairs + 2 * (upper % 100), 2);
  std::memcpy(out + 4, kDigitPairs + 2 * (lower / 100), 2);
  std::memcpy(out + 6, kDigitPairs + 2 * (lower % 100), 2);
}

// The plain decimal range, from 1E-4 up to below 10^digits, where every
// coordinate of an ordinary blade lies, is rounded in exact integer
// arithmetic: the value is m / 2^shift, so its leading `digits` decimal
// digits are m * 10^k / 2^shift, rounded half to even on the exact
// remainder, as printf's %g and to_chars round. A program writes hundreds of
// thousands of numbers, and this is several times faster than the general
// conversion. Gives the rounded digits as an integer of exactly `digits`
// digits and the decimal exponent of the first; false for a value outside
// the range or one that rounds up to 10^digits, which the general
// conversion writes.
bool roundPlain(double value, int digits, std::uint64_t& leading, int& exponent) {
  if (digits != 7 && digits != 15) return false;
  const double magnitude = std::fabs(value);
  if (!(magnitude >= 1e-4 && magnitude < static_cast<double>(kPowersOfTen[digits]))) return false;

  // A normal double is (2^52 + stored fraction) * 2^(stored exponent - 1075).
  std::uint64_t bits = 0;
  std::memcpy(&bits, &magnitude, sizeof bits);
  const int storedExponent = static_cast<int>(bits >> 52);
  const std::uint64_t m = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
  const int shift = 1075 - storedExponent;  // 3 to 66 in this range

  // The value lies in [2^(b-1), 2^b) with b = storedExponent - 1022, so its
  // decimal exponent is floor((b - 1) log10 2) or one more. 78913 / 2^18 is
  // log10 2 closely enough for these few exponents.
  // The comparison settles which: the doubles nearest 1E-4 to 1E-1 lie
  // above the powers of ten, and 1 to 1E16 are exact, so comparing with
  // them is comparing with the powers themselves.
  exponent = ((storedExponent - 1023) * 78913) >> 18;
  if (magnitude >= kDecades[exponent + 1 + 5]) ++exponent;
  const Wide scaled = static_cast<Wide>(m) * kPowersOfTen[digits - 1 - exponent];  // below 2^117
  leading = static_cast<std::uint64_t>(scaled >> shift);
  // Cannot happen; the general conversion is right anyway.
  if (leading < kPowersOfTen[digits - 1] || leading >= kPowersOfTen[digits]) return false;
  const Wide remainder = scaled & ((static_cast<Wide>(1) << shift) - 1);
  const Wide half = static_cast<Wide>(1) << (shift - 1);
  if (remainder > half || (remainder == half && (leading & 1) != 0)) ++leading;
  return leading != kPowersOfTen[digits];  // not 9.99...95 and the like
}

// Copies of at most 16 bytes are done as one copy of 16, so that they
// compile to two stores instead of a call; sources and targets are padded.
inline char* copyShort(char* p, const char* from, int n) {
  std::memcpy(p, from, 16);
  return p + n;
}
inline char* zerosShort(char* p, int n) {
  std::memset(p, '0', 16);
  return p + n;
}

// Writes the plain decimal form of `count` significant digits (no trailing
// zero unless count is 1) with the decimal exponent of the first to `p`;
// returns the end. `significant` must have 16 readable bytes and `p` room
// for 48.
char* formatPlain(char* p, bool negative, const char* significant, int count, int exponent) {
  if (negative) *p++ = '-';
  if (exponent >= 0) {
    const int integerDigits = exponent + 1;
    if (count > integerDigits) {
      p = copyShort(p, significant, integerDigits);
      *p++ = '.';
      p = copyShort(p, significant + integerDigits, count - integerDigits);
    } else {
      p = copyShort(p, significant, count);
      p = zerosShort(p, integerDigits - count);
    }
  } else {
    *p++ = '0';
    *p++ = '.';
    p = zerosShort(p, -exponent - 1);
    p = copyShort(p, significant, count);
  }
  return p;
}

int withoutTrailingZeros(const char* significant, int count) {
  while (count > 1 && significant[count - 1] == '0') --count;
  return count;
}

bool appendPlainDecimal(std::string& out, double value, int digits) {
  std::uint64_t leading = 0;
  int exponent = 0;
  if (!roundPlain(value, digits, leading, exponent)) return false;
  // Sixteen digits, two at a time; the first is 0 for either digit count.
  char all[40] = {};
  writeEightDigits(all, static_cast<std::uint32_t>(leading / 100000000));
  writeEightDigits(all + 8, static_cast<std::uint32_t>(leading % 100000000));
  const char* significant = all + (digits == 15 ? 1 : 9);
  char text[48];
  const char* end = formatPlain(text, value < 0, significant, withoutTrailingZeros(significant, digits), exponent);
  out.append(text, static_cast<std::size_t>(end - text));
  return true;
}

// Eight digits of `value` (below 10^8) as the bytes of a word, first digit
// in the lowest byte, as they lie in memory on a little-endian machine.
inline __attribute__((always_inline)) std::uint64_t eightDigitWord(std::uint32_t value) {
  const auto pair = [](std::uint32_t x) {
    std::uint16_t bytes = 0;
    std::memcpy(&bytes, kDigitPairs + 2 * x, 2);
    return static_cast<std::uint64_t>(bytes);
  };
  const std::uint32_t upper = value / 10000;
  const std::uint32_t lower = value % 10000;
  return pair(upper / 100) | pair(upper % 100) << 16 | pair(lower / 100) << 32 | pair(lower % 100) << 48;
}

// The low `n` bytes of a word (n from 0 to 8).
constexpr std::uint64_t lowBytes(std::uint64_t word, int n) {
  return n >= 8 ? word : word & ((std::uint64_t{1} << (8 * n)) - 1);
}
constexpr std::uint64_t shiftedUp(std::uint64_t word, int n) { return n >= 8 ? 0 : word << (8 * n); }
constexpr std::uint64_t kZeros = 0x3030303030303030ULL;  // "00000000"

// The first `width` (at most 8) characters of the plain decimal text. They
// hold at most `width` significant digits, so only those are written; the
// digits after them matter only when all are zero, since trailing zeros are
// dropped. The characters are put together in one word and stored at once:
// a coordinate word is written for every point of every pass, and bytes
// stored one by one and then copied stall the processor.
bool plainDecimalCut(double value, int digits, std::size_t width, NumberCut& cut) {
  if constexpr (std::endian::native != std::endian::little) return false;
  if (width == 0 || width > 8) return false;
  std::uint64_t leading = 0;
  int exponent = 0;
  if (!roundPlain(value, digits, leading, exponent)) return false;
  const int shown = std::min(digits, static_cast<int>(width));
  const std::uint64_t unit = kPowersOfTen[digits - shown];
  // The six characters of a coordinate word: divisions by constants, which
  // compile to multiplications, instead of a division by a variable.
  std::uint64_t top = 0;
  if (shown == 6 && digits == 15) {
    top = leading / 1000000000ULL;
  } else if (shown == 6 && digits == 7) {
    top = leading / 10;
  } else {
    top = leading / unit;
  }
  // The significant digits from the lowest byte up.
  std::uint64_t significant = eightDigitWord(static_cast<std::uint32_t>(top)) >> (8 * (8 - shown));
  int count = shown;
  if (leading - top * unit == 0) {
    while (count > 1 && ((significant >> (8 * (count - 1))) & 0xFF) == '0') --count;
    significant = lowBytes(significant, count);
  }

  std::uint64_t text = 0;
  int length = 0;
  int lead = 1;
  if (exponent >= 0) {
    const int integerDigits = exponent + 1;
    lead = integerDigits;
    if (count > integerDigits) {  // then integerDigits < count <= 8
      text = lowBytes(significant, integerDigits) | shiftedUp('.', integerDigits) |
             shiftedUp(significant >> (8 * integerDigits), integerDigits + 1);
      length = count + 1;
    } else {
      text = significant | (lowBytes(kZeros, integerDigits) & ~lowBytes(~std::uint64_t{0}, count));
      length = integerDigits;
    }
  } else {
    const int prefix = 1 - exponent;  // "0." and -exponent - 1 zeros: 2 to 5
    text = (lowBytes(kZeros, prefix) & ~std::uint64_t{0xFF00}) | (std::uint64_t{'.'} << 8) |
           shiftedUp(significant, prefix);
    length = prefix + count;
  }
  if (value < 0) {
    text = '-' | (text << 8);
    ++length;
    ++lead;
  }
  cut.chars = text;
  cut.form =
      NumberCut::formOf(std::min(static_cast<std::size_t>(length), width), static_cast<std::size_t>(lead), false);
  return true;
}

// The digits a cut shows are known before any is written: with the sign,
// the integer digits and the point, at most `width` characters, so at most
// six significant digits for a coordinate word. Scaling the value by an
// exact power of ten so that those digits form the integer part gives them
// with one rounding of the product, an error far below a millionth of a unit.
// Rounding to `digits` significant digits first moves the value by at most
// half a unit of the last of them: 5E-10 of a unit here for a double, 0.05
// for a single whose six digits are shown, 0.005 for five. Only a product whose fraction lies farther than that from a
// whole number is taken: then its integer part is the digits shown, and the
// digits dropped are not all zero, so the text has no trailing zero to drop
// and, where the cut leaves room for it, a point. Anything nearer a whole
// number goes the exact way. Coordinates are cut by the hundred thousand, and
// this takes a few multiplications instead of wide integer arithmetic.
inline __attribute__((always_inline)) bool quickDecimalCut(double value, int digits, std::size_t width,
                                                           NumberCut& cut) {
  if constexpr (std::endian::native != std::endian::little) return false;
  if (width < 2 || width > 8) return false;
  const double magnitude = std::fabs(value);
  const int sign = value < 0 ? 1 : 0;
  const int room = static_cast<int>(width) - sign;
  if (!(magnitude >= 1e-4 && magnitude < kDecades[room + 5])) return false;
  std::uint64_t bits = 0;
  std::memcpy(&bits, &magnitude, sizeof bits);
  int exponent = ((static_cast<int>(bits >> 52) - 1023) * 78913) >> 18;
  if (magnitude >= kDecades[exponent + 1 + 5]) ++exponent;
  // Shown significant digits: after "0." and the zeros of a small value, or
  // the integer digits and as many decimals as the cut keeps.
  const int integerDigits = exponent >= 0 ? exponent + 1 : 0;
  const int shown = exponent >= 0 ? std::max(room - 1, integerDigits) : room - 1 + exponent;
  const int scale = shown - 1 - exponent;
  if (shown < 0 || shown > 6 || scale < 0) return false;  // the margins below hold for six digits
  const double scaled = magnitude * kDecades[scale + 5];
  const auto digitsShown = static_cast<std::uint32_t>(scaled);  // below 10^6: truncation is the floor
  const double fraction = scaled - static_cast<double>(digitsShown);
  // Half a unit of the seventh digit of a single, in units of the last
  // digit shown, and a little more for the product's rounding.
  constexpr double kSingleMargins[7] = {5.01e-8, 5.01e-7, 5.01e-6, 5.01e-5, 5.01e-4, 5.01e-3, 5.01e-2};
  const double margin = digits == 15 ? 1e-9 : kSingleMargins[shown];
  if (!(fraction > margin && fraction < 1.0 - margin)) return false;

  // Up to six digits from three pairs, the first digit in the lowest byte;
  // every shift below stays under 64 bits, since at most seven characters
  // are assembled.
  const auto pair = [](std::uint32_t x) {
    std::uint16_t bytes = 0;
    std::memcpy(&bytes, kDigitPairs + 2 * x, 2);
    return static_cast<std::uint64_t>(bytes);
  };
  const std::uint64_t six =
      pair(digitsShown / 10000) | pair(digitsShown / 100 % 100) << 16 | pair(digitsShown % 100) << 32;
  const std::uint64_t significant = six >> (8 * (6 - shown));
  std::uint64_t text = 0;
  int length = 0;
  if (exponent >= 0) {
    // The integer digits, then the point and the decimals; the point stands
    // even when the cut leaves no decimal after it.
    const int bits = 8 * integerDigits;  // 8 to 48
    text = (significant & ((std::uint64_t{1} << bits) - 1)) | std::uint64_t{'.'} << bits |
           (significant >> bits) << (bits + 8);
    length = std::min(shown + 1, room);
  } else {
    const int prefix = 1 - exponent;  // "0." and -exponent - 1 zeros: 2 to 5
    text = (kZeros & ((std::uint64_t{1} << (8 * prefix)) - 1) & ~std::uint64_t{0xFF00}) | std::uint64_t{'.'} << 8 |
           significant << (8 * prefix);
    length = room;
  }
  text = sign ? '-' | text << 8 : text;
  cut.chars = text;
  cut.form = NumberCut::formOf(static_cast<std::size_t>(length + sign),
                               static_cast<std::size_t>(sign + std::max(integerDigits, 1)), false);
  return true;
}

bool appendPlainDecimalCut(std::string& out, double value, int digits, std::size_t width) {
  NumberCut cut;
  if (!plainDecimalCut(value, digits, width, cut)) return false;
  char bytes[8];
  std::memcpy(bytes, &cut.chars, sizeof bytes);
  out.append(bytes, cut.size());
  return true;
}

// printf's %g at the given precision is exactly the general number rule:
// exponent form when the decimal exponent after rounding is below -4 or at
// least the digit count, trailing zeros dropped. to_chars gives it without
// any locale; only the exponent letter is written in upper case.
template <typename T>
void appendGeneral(std::string& out, T value, int digits) {
  if (value == 0) {  // +0 and -0
    out += '0';
    return;
  }
  // A single widens to a double exactly, so both round the same value.
  if (appendPlainDecimal(out, static_cast<double>(value), digits)) return;
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
  for (char* p = buffer; p != result.ptr; ++p) {
    out += (*p == 'e') ? 'E' : *p;
  }
}

}  // namespace

void appendNumberText(std::string& out, float value) { appendGeneral(out, value, 7); }
void appendNumberText(std::string& out, double value) { appendGeneral(out, value, 15); }

namespace {

template <typename T>
void appendCut(std::string& out, T value, int digits, std::size_t width) {
  NumberCut cut;
  if (value != 0 && quickDecimalCut(static_cast<double>(value), digits, width, cut)) {
    char bytes[8];
    std::memcpy(bytes, &cut.chars, sizeof bytes);
    out.append(bytes, cut.size());
    return;
  }
  if (value != 0 && appendPlainDecimalCut(out, static_cast<double>(value), digits, width)) return;
  const std::size_t start = out.size();
  appendGeneral(out, value, digits);
  if (out.size() - start > width) out.resize(start + width);
}

}  // namespace

void appendNumberTextCut(std::string& out, float value, std::size_t width) { appendCut(out, value, 7, width); }
void appendNumberTextCut(std::string& out, double value, std::size_t width) { appendCut(out, value, 15, width); }

namespace {

// Outside the plain decimal range: from the whole general text.
template <typename T>
[[gnu::noinline]] NumberCut generalCut(T value, int digits, std::size_t width) {
  NumberCut cut;
  std::string text;
  appendGeneral(text, value, digits);
  const std::size_t point = text.find_first_of(".E");
  const std::size_t size = std::min({text.size(), width, sizeof cut.chars});
  cut.form = NumberCut::formOf(size, std::min<std::size_t>(point == std::string::npos ? text.size() : point, 255),
                               !std::isfinite(value) || text.find('E') != std::string::npos);
  std::memcpy(&cut.chars, text.data(), size);
  return cut;
}

template <typename T>
NumberCut cutOf(T value, int digits, std::size_t width) {
  NumberCut cut;
  // The six characters of a coordinate word, by far the most frequent cut,
  // with the width known to the compiler.
  constexpr int kDigits = std::is_same_v<T, double> ? 15 : 7;
  int leadChars = 0;
  if (width == 6 && detail::coordCut<kDigits>(static_cast<double>(value), cut.chars, leadChars)) {
    cut.form = NumberCut::formOf(6, static_cast<std::size_t>(leadChars), false);
    return cut;
  }
  if (width == 6 && value != 0 && quickDecimalCut(static_cast<double>(value), digits, 6, cut)) return cut;
  if (width != 6 && value != 0 && quickDecimalCut(static_cast<double>(value), digits, width, cut)) return cut;
  if (value != 0 && plainDecimalCut(static_cast<double>(value), digits, width, cut)) return cut;
  return generalCut(value, digits, width);
}

}  // namespace

NumberCut numberTextCut(float value, std::size_t width) { return cutOf(value, 7, width); }
NumberCut numberTextCut(double value, std::size_t width) { return cutOf(value, 15, width); }

std::string NumberText(float value) {
  std::string text;
  appendNumberText(text, value);
  return text;
}

std::string NumberText(double value) {
  std::string text;
  appendNumberText(text, value);
  return text;
}

std::optional<std::pair<double, double>> parseNumberPair(std::string_view text) {
  const std::size_t comma = text.find(',');
  if (comma == std::string_view::npos) return std::nullopt;
  const ParsedNumber a = parseNumber(text.substr(0, comma));
  const ParsedNumber b = parseNumber(text.substr(comma + 1));
  if (a.status != ParseStatus::Ok || b.status != ParseStatus::Ok || !std::isfinite(a.value) ||
      !std::isfinite(b.value)) {
    return std::nullopt;
  }
  return std::pair{a.value, b.value};
}

}  // namespace ventaro
