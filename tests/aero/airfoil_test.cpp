// Airfoils from the NACA four-digit formula against their published
// figures, and coordinate files in both catalogue formats.
#include <gtest/gtest.h>

#include "blade/airfoil.h"
#include "core/section_table.h"

namespace ventaro {
namespace {

TEST(Airfoil, NacaFourDigitFormula) {
  // NACA 0012: symmetric, 12 % thick at 30 % of the chord (the thickness
  // polynomial gives 6.0018 % there).
  const Airfoil sym = nacaFourDigit("0012");
  EXPECT_NEAR(Airfoil::heightAt(sym.upper, 30), 6.0018, 0.01);
  EXPECT_NEAR(Airfoil::heightAt(sym.lower, 30), -6.0018, 0.01);
  EXPECT_NEAR(sym.upper.back().second, 0.126, 1e-3);  // the open trailing edge: 0.252 % thick
  // NACA 4412 from the formula against the tabulated ordinates (Abbott and
  // von Doenhoff, rounded to 0.01 %).
  SectionTable table;
  table.fill();
  const Airfoil a = nacaFourDigit("4412");
  const double lower[] = {0,     -1.43, -1.95, -2.49, -2.74, -2.86, -2.88, -2.74, -2.50,
                          -2.26, -1.80, -1.40, -1.00, -0.65, -0.39, -0.22, -0.16, -0.13};
  for (int j = SectionTable::kLower; j <= SectionTable::kUpper; ++j) {
    const double x = table.ProfileX(j);
    EXPECT_NEAR(Airfoil::heightAt(a.upper, x), table.ProfileY(j), 0.06) << x;
    EXPECT_NEAR(Airfoil::heightAt(a.lower, x), lower[j - 1], 0.06) << x;
  }
  EXPECT_THROW(nacaFourDigit("441"), AirfoilError);
  EXPECT_THROW(nacaFourDigit("4400"), AirfoilError);
}

TEST(Airfoil, SeligAndLednicerFilesGiveTheSameSection) {
  const std::string selig = "MY FOIL\n1.0 0.0013\n0.5 0.06\n0.25 0.07\n0.0 0.0\n0.25 -0.03\n0.5 -0.02\n1.0 -0.0013\n";
  const std::string lednicer =
      "MY FOIL\n4. 4.\n\n0.0 0.0\n0.25 0.07\n0.5 0.06\n1.0 0.0013\n\n0.0 0.0\n0.25 -0.03\n0.5 -0.02\n1.0 -0.0013\n";
  const Airfoil a = readAirfoilDat(selig, "s.dat"), b = readAirfoilDat(lednicer, "l.dat");
  EXPECT_EQ(a.name, "MY FOIL");
  EXPECT_EQ(a.upper, b.upper);
  EXPECT_EQ(a.lower, b.lower);
  EXPECT_DOUBLE_EQ(a.upper[1].first, 25);  // percent of the chord
  EXPECT_DOUBLE_EQ(a.upper[1].second, 7);
  EXPECT_DOUBLE_EQ(a.lower.back().second, -0.13);
  for (const auto& [text, why] :
       {std::pair{std::string("X\n0 0\n1 0\n"), "fewer than five points"},
        std::pair{std::string("X\n3. 3.\n0 0\n1 0\n"), "counts of points do not match"},
        std::pair{std::string("X\n1e300 1e300\n0 0\n1 0\n0 0\n1 0\n"), "counts of points do not match"},
        std::pair{std::string("X\n0.5 0\n0.4 0.1\n0 0\n0.4 -0.1\n0.5 0\n"), "do not run from the leading edge"}}) {
    try {
      (void)readAirfoilDat(text, "x.dat");
      ADD_FAILURE() << why;
    } catch (const AirfoilError& e) {
      EXPECT_NE(std::string(e.what()).find(why), std::string::npos) << e.what();
    }
  }
}

}  // namespace
}  // namespace ventaro
