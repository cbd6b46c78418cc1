// The number texts of the plain decimal range are written by exact integer
// arithmetic rather than by the general conversion; both must give the same
// text for every value. The general conversion (std::to_chars at 7 or 15
// significant digits) is the reference here.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <type_traits>

#include "core/number_text.h"
#include "gcode/text_conventions.h"

namespace ventaro {
namespace {

template <typename T>
std::string reference(T value, int digits) {
  if (value == 0) return "0";
  char buffer[64];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits).ptr;
  std::string text(buffer, end);
  for (char& c : text) c = c == 'e' ? 'E' : c;
  return text;
}

// The whole text, and its cut to the six characters of a coordinate word.
template <typename T>
void expectSameAt(T value, int digits) {
  const std::string expected = reference(value, digits);
  ASSERT_EQ(NumberText(value), expected) << std::hexfloat << value;
  std::string cut = "G1 X";
  appendNumberTextCut(cut, value, 6);
  ASSERT_EQ(cut, "G1 X" + expected.substr(0, 6)) << std::hexfloat << value;
  // The same cut with what it dropped: the characters before the point.
  const NumberCut word = numberTextCut(value, 6);
  char chars[8];
  std::memcpy(chars, &word.chars, sizeof chars);
  ASSERT_EQ(std::string(chars, word.size()), expected.substr(0, 6)) << std::hexfloat << value;
  const bool exponent = expected.find('E') != std::string::npos;
  ASSERT_EQ(word.exponentForm(), exponent) << expected;
  if (!exponent) {
    ASSERT_EQ(word.leadChars(), std::min(expected.find('.'), expected.size())) << expected;
  }
}
void expectSame(float value) { expectSameAt(value, 7); }
void expectSame(double value) { expectSameAt(value, 15); }

TEST(NumberTextPlain, EdgesOfThePlainRange) {
  for (double v : {1e-4,
                   0.0001,
                   0.00010000000000000001,
                   1e15,
                   999999999999999.0,
                   999999999999999.5,
                   999999999999999.4,
                   99999999999999.95,
                   0.00009999999999999999,
                   9.999999999999995,
                   9.9999999999999947,
                   0.5,
                   1.0,
                   2.0,
                   10.0,
                   100.0,
                   1680.0,
                   200.0001,
                   -12.3456789,
                   123456789012345.5,
                   123456789012346.5,
                   0.1,
                   0.2,
                   0.3}) {
    expectSame(v);
    expectSame(-v);
    expectSame(std::nextafter(v, 0.0));
    expectSame(std::nextafter(v, 2e15));
  }
  for (float v : {1e-4f, 1e7f, 9999999.0f, 9999999.5f, 1234567.5f, 1234568.5f, 0.2f, 200.0001f, 1.9999999f, 4.4000006f,
                  53.60006f, 9999.9995f, 0.00099999995f}) {
    expectSame(v);
    expectSame(-v);
    expectSame(std::nextafter(v, 0.0f));
    expectSame(std::nextafter(v, 2e7f));
  }
}

TEST(NumberTextPlain, ExactHalvesRoundToEven) {
  // Doubles at 15 digits and singles at 7 meet an exact half only in the
  // top decade of the plain range.
  for (double v = 100000000000000.5; v < 100000000000100.0; v += 1.0) expectSame(v);
  for (float v = 1000000.5f; v < 1000100.0f; v += 1.0f) expectSame(v);
  EXPECT_EQ(NumberText(123456789012345.5), "123456789012346");
  EXPECT_EQ(NumberText(123456789012344.5), "123456789012344");
  EXPECT_EQ(NumberText(1234567.5f), "1234568");
  EXPECT_EQ(NumberText(1234566.5f), "1234566");
  // Trailing zeros dropped before the cut: 12.5 stays short, 12.5000001 not.
  std::string cut;
  appendNumberTextCut(cut, 12.5, 6);
  appendNumberTextCut(cut, 12.5000001, 6);
  appendNumberTextCut(cut, 12.500000000000001, 6);
  appendNumberTextCut(cut, -1234.56, 6);
  EXPECT_EQ(cut, "12.512.50012.5-1234.");
}

TEST(NumberTextPlain, RandomValuesOfEveryMagnitude) {
  std::mt19937_64 random(20261208);
  // Bit patterns spread over the whole range, and values near the decades.
  for (int i = 0; i < 250000; ++i) {
    const std::uint64_t bits = random();
    double d;
    std::memcpy(&d, &bits, sizeof d);
    if (std::isfinite(d)) expectSame(d);
    const auto low = static_cast<std::uint32_t>(bits);
    float f;
    std::memcpy(&f, &low, sizeof f);
    if (std::isfinite(f)) expectSame(f);

    std::uniform_real_distribution<double> decade(-6.0, 17.0);
    const double near = std::pow(10.0, decade(random));
    expectSame(near);
    expectSame(static_cast<float>(near));
    const double power = std::pow(10.0, std::floor(decade(random)));
    expectSame(power * (1.0 - 1e-15 * static_cast<double>(random() % 20)));
  }
  // Coordinates of ordinary blades: millimetres with a few decimals.
  std::uniform_real_distribution<double> millimetres(-2000.0, 2000.0);
  for (int i = 0; i < 100000; ++i) {
    const double v = millimetres(random);
    expectSame(v);
    expectSame(static_cast<float>(v));
    expectSame(std::round(v * 1000.0) / 1000.0);
  }
}

// Only the cut to a coordinate word, by the million: the
// values of roughing passes (millimetres, a few decimals, both signs) and
// values a few steps from the whole numbers of every decimal the cut keeps,
// where the digits shown depend on the last rounding.
template <typename T>
void expectSameCut(T value) {
  const int digits = std::is_same_v<T, double> ? 15 : 7;
  const std::string expected = reference(value, digits).substr(0, 6);
  const NumberCut word = numberTextCut(value, 6);
  char chars[8];
  std::memcpy(chars, &word.chars, sizeof chars);
  ASSERT_EQ(std::string(chars, word.size()), expected) << std::hexfloat << value;
  if (expected.find('E') == std::string::npos) {
    const std::string whole = reference(value, digits);
    ASSERT_EQ(word.leadChars(), std::min(whole.find('.'), whole.size())) << whole;
  }
  // The coordinate word, made inline where the program's lines are written,
  // is the same cut; below 1E-4 it has its own form.
  if (value == 0 || std::fabs(value) >= static_cast<T>(1e-4)) {
    const CoordWord coord(value);
    ASSERT_EQ(coord.text(), expected) << std::hexfloat << value;
    ASSERT_EQ(coord.fits(), word.leadChars() <= 6 && !word.exponentForm()) << expected;
  }
}

TEST(NumberTextPlain, CoordinateCutsByTheMillion) {
  std::mt19937_64 random(7081997);
  std::uniform_real_distribution<double> millimetres(-1200.0, 1200.0);
  std::uniform_int_distribution<int> decimals(0, 6);
  std::uniform_int_distribution<int> steps(-3, 3);
  for (int i = 0; i < 250000; ++i) {
    const double z = millimetres(random);
    const double depth = std::round(millimetres(random)) / 100.0;
    expectSameCut(z);
    expectSameCut(z - depth);
    // A whole number of the last decimal kept, nudged by a few units in the
    // last place: 12.3450000000001, 0.0099999999999 and the like.
    const double unit = std::pow(10.0, -decimals(random));
    double near = std::round(z / unit) * unit;
    for (int s = steps(random); s != 0; s += s > 0 ? -1 : 1) near = std::nextafter(near, s > 0 ? 1e300 : -1e300);
    expectSameCut(near);
    const double scale = std::pow(10.0, decimals(random) - 4);
    expectSameCut(z * scale);
    // The singles of the finishing pass and of the roughing points' Y.
    expectSameCut(static_cast<float>(z * scale));
    expectSameCut(std::nextafter(static_cast<float>(near), 0.0f));
  }
}

}  // namespace
}  // namespace ventaro
