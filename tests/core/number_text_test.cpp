// Number <-> text: the field conversions and the general and coordinate
// number texts that every number of a program goes through.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/number_text.h"
#include "gcode/gcode_writer.h"
#include "gcode/text_conventions.h"

namespace ventaro {
namespace {

TEST(ParseNumber, AcceptsDecimalFormsWithBlanksAndExponent) {
  const std::pair<const char*, double> accepted[] = {
      {"5", 5.0},           {"+5", 5.0},     {"-2.5", -2.5},    {".5", 0.5},        {"5.", 5.0},
      {"-.5", -0.5},        {" 0.2\t", 0.2}, {"1e3", 1000.0},   {"1E+3", 1000.0},   {"2.5e-3", 0.0025},
      {"0.001e310", 1e307}, {"1e-400", 0.0}, {"-1e-400", -0.0}, {"4e-320", 4e-320},
  };
  for (const auto& [text, value] : accepted) {
    const ParsedNumber parsed = parseNumber(text);
    EXPECT_EQ(parsed.status, ParseStatus::Ok) << text;
    EXPECT_EQ(parsed.value, value) << text;
  }
  EXPECT_TRUE(std::signbit(parseNumber("-0").value));
}

TEST(ParseNumber, RejectsEverythingElse) {
  for (const char* text : {"", " ", "1,5", "1.000,5", "inf", "-inf", "nan", "infinity", "0x10", "1e", "e5", ".", "-",
                           "+-1", "1 2", "5m", "1e5.5",
                           "\xc2\xa0"
                           "5"}) {
    EXPECT_EQ(parseNumber(text).status, ParseStatus::NotANumber) << '[' << text << ']';
  }
  for (const char* text : {"1e400", "-1e400", "1.7976931348623159e308", "1e99999999999999"}) {
    EXPECT_EQ(parseNumber(text).status, ParseStatus::OutOfRange) << text;
  }
  EXPECT_EQ(parseNumber("1.7976931348623157e308").value, std::numeric_limits<double>::max());
}

TEST(FieldConversion, KindsAndRounding) {
  EXPECT_EQ(toSingle("0.2", Field::HubRad), 0.2f);
  EXPECT_EQ(static_cast<double>(toSingle("0.2", Field::HubRad)), 0.20000000298023224);
  // 16-bit integers: halves go to the even neighbour.
  EXPECT_EQ(toInt16("2.5", Field::RoughPassesNo), 2);
  EXPECT_EQ(toInt16("3.5", Field::RoughPassesNo), 4);
  EXPECT_EQ(toInt16("-2.5", Field::RoughPassesNo), -2);
  EXPECT_EQ(toInt16("32767.4", Field::RoughPassesNo), 32767);
  EXPECT_EQ(toInt16("-32768.5", Field::RoughPassesNo), -32768);

  const auto kindOf = [](auto convert) {
    try {
      convert();
    } catch (const RunError& error) {
      return error.kind();
    }
    ADD_FAILURE() << "no error";
    return ErrorKind::FloatingPoint;
  };
  EXPECT_EQ(kindOf([] { toDouble("", Field::TSR); }), ErrorKind::TypeMismatch);
  EXPECT_EQ(kindOf([] { toDouble("1e400", Field::TSR); }), ErrorKind::Overflow);
  EXPECT_EQ(kindOf([] { toSingle("1e39", Field::HubRad); }), ErrorKind::Overflow);
  EXPECT_EQ(kindOf([] { toInt16("32767.5", Field::RoughPassesNo); }), ErrorKind::Overflow);
  EXPECT_EQ(kindOf([] { toInt16("40000", Field::RoughPassesNo); }), ErrorKind::Overflow);
  EXPECT_EQ(kindOf([] { toInt16("-32769", Field::RoughPassesNo); }), ErrorKind::Overflow);
}

TEST(NumberText, PlainAndExponentForms) {
  EXPECT_EQ(NumberText(200.0), "200");
  EXPECT_EQ(NumberText(0.5), "0.5");
  EXPECT_EQ(NumberText(12.34567), "12.34567");
  EXPECT_EQ(NumberText(-0.0), "0");
  EXPECT_EQ(NumberText(-0.0f), "0");
  EXPECT_EQ(NumberText(0.0001), "0.0001");
  EXPECT_EQ(NumberText(1e-05), "1E-05");
  EXPECT_EQ(NumberText(-0.000015), "-1.5E-05");
  EXPECT_EQ(NumberText(999999.0f), "999999");
  EXPECT_EQ(NumberText(12345678.0f), "1.234568E+07");
  EXPECT_EQ(NumberText(123456789012345.0), "123456789012345");
  EXPECT_EQ(NumberText(1e15), "1E+15");
  EXPECT_EQ(NumberText(2.5e20), "2.5E+20");
  EXPECT_EQ(NumberText(1e-300), "1E-300");
  EXPECT_EQ(NumberText(100.0 / 3.0), "33.3333333333333");
  EXPECT_EQ(NumberText(2.0 / 3.0), "0.666666666666667");
  // Singles are rounded to seven digits before anything else.
  EXPECT_EQ(NumberText(1.9999999f), "2");
  EXPECT_EQ(NumberText(static_cast<double>(1.9999999f)), "1.99999988079071");
  EXPECT_EQ(NumberText(4.4000006f), "4.400001");
  EXPECT_EQ(NumberText(200.0001f), "200.0001");
  EXPECT_EQ(NumberText(20.0f), "20");
}

TEST(CoordText, CutsToSixCharactersWithoutRounding) {
  EXPECT_EQ(CoordText(-12.3456789), "-12.34");
  EXPECT_EQ(CoordText(200.0001f), "200.00");
  EXPECT_EQ(CoordText(0.1234567), "0.1234");
  EXPECT_EQ(CoordText(1680.0f), "1680");
  EXPECT_EQ(CoordText(-5.0), "-5");
  EXPECT_EQ(CoordText(-0.5), "-0.5");
  EXPECT_EQ(CoordText(-123.456), "-123.4");
  EXPECT_EQ(CoordText(12345.67), "12345.");
  EXPECT_EQ(CoordText(-1234.56), "-1234.");
  EXPECT_EQ(CoordText(1.9999999f), "2");
  EXPECT_EQ(CoordText(static_cast<double>(1.9999999f)), "1.9999");
  // Below 1E-4 a coordinate is the cut of its plain decimal form, never a
  // cut exponent form that a controller would read as another number.
  EXPECT_EQ(CoordText(0.000015), "0.0000");
  EXPECT_EQ(CoordText(-0.000015), "-0.000");
  EXPECT_EQ(CoordText(1.2345678e-5f), "0.0000");
  EXPECT_EQ(CoordText(-9.9999e-5f), "-0.000");
  EXPECT_EQ(CoordText(1e-300), "0.0000");
  EXPECT_EQ(CoordText(0.0001), "0.0001");
  EXPECT_EQ(CoordText(-0.0001f), "-0.000");
  EXPECT_EQ(CoordText(1234567.0), "123456");
  EXPECT_EQ(CoordText(-0.0f), "0");

  GcodeWriter out;
  out.linearMove(CoordWord(200.00010681152344f), CoordWord(310.3079800003498), CoordWord(260.464478));
  EXPECT_EQ(out.take(), "G1 X200.00 Y310.30 Z260.46");
}

}  // namespace
}  // namespace ventaro
