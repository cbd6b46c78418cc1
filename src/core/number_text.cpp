#include "core/number_text.h"

#include <charconv>
#include <cmath>
#include <limits>

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
      raise(ErrorKind::TypeMismatch, field, quoted(field) + " is not a number");
    case ParseStatus::OutOfRange:
      raise(ErrorKind::Overflow, field, quoted(field) + " is out of range");
  }
  raise(ErrorKind::TypeMismatch, field, quoted(field) + " is not a number");
}

float toSingle(std::string_view text, Field field) {
  const double value = toDouble(text, field);
  const float single = static_cast<float>(value);
  if (std::isinf(single)) {
    raise(ErrorKind::Overflow, field, quoted(field) + " is too large for a single-precision number");
  }
  return single;
}

std::int16_t toInt16(std::string_view text, Field field) {
  const double value = toDouble(text, field);
  const double rounded = std::nearbyint(value);  // ties to even in the default rounding mode
  if (!(rounded >= -32768.0 && rounded <= 32767.0)) {
    raise(ErrorKind::Overflow, field, quoted(field) + " is outside -32768 to 32767");
  }
  return static_cast<std::int16_t>(rounded);
}

namespace {

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
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
  for (char* p = buffer; p != result.ptr; ++p) {
    out += (*p == 'e') ? 'E' : *p;
  }
}

}  // namespace

void appendNumberText(std::string& out, float value) { appendGeneral(out, value, 7); }
void appendNumberText(std::string& out, double value) { appendGeneral(out, value, 15); }

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

}  // namespace ventaro
