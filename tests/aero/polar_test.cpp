#include <gtest/gtest.h>

#include <cmath>

#include "aero/naca4412_polars.h"
#include "aero/polar.h"

namespace ventaro {
namespace {

// The head and first rows of a polar as XFOIL's PACC writes it.
constexpr const char* kXfoil = R"(
       XFOIL         Version 6.99

 Calculated polar for: NACA 4412

 1 1 Reynolds number fixed          Mach number fixed

 xtrf =   1.000 (top)        1.000 (bottom)
 Mach =   0.000     Re =     0.300 e 6     Ncrit =   9.000  9.000

   alpha    CL        CD       CDp       CM     Top_Xtr  Bot_Xtr  Top_Itr  Bot_Itr
  ------ -------- --------- --------- -------- -------- -------- -------- --------
  -1.000   0.3631   0.00942   0.00190  -0.1055   0.7773   0.4221  16.1646 124.7661
   0.000   0.4887   0.00814   0.00190  -0.1068   0.7253   1.0000  19.3787 160.0000
   5.000   1.0086   0.01144   0.00250  -0.0986   0.5126   1.0000  32.5039 160.0000
  14.000   1.4174   0.05341   0.02804  -0.0416   0.0389   1.0000  66.2237 160.0000
  16.000   1.4291   0.07541   0.04476  -0.0390   0.0307   1.0000  67.6234 160.0000
)";

TEST(Polar, ReadsXfoilsPolarFile) {
  const Polar p = readXfoilPolar(kXfoil, "p.txt");
  EXPECT_EQ(p.reynolds, 300000);
  ASSERT_EQ(p.alpha.size(), 5u);
  EXPECT_EQ(p.alpha[2], 5.0);
  EXPECT_EQ(p.cl[2], 1.0086);
  EXPECT_EQ(p.cd[2], 0.01144);
}

TEST(Polar, RefusesWhatIsNoPolar) {
  const std::string noRe = std::string(kXfoil).replace(std::string(kXfoil).find("Re ="), 4, "Rx =");
  const std::string backwards = std::string(kXfoil).replace(std::string(kXfoil).find("  14.000"), 8, "  -9.000");
  for (const auto& [text, why] :
       {std::pair{noRe, "it gives no Reynolds number"}, std::pair{backwards, "the angles must rise from line to line"},
        std::pair{std::string("Re = 1 e 5\n ------\n 1 0.1 0.01\n"), "fewer than three"}}) {
    try {
      (void)readXfoilPolar(text, "p.txt");
      ADD_FAILURE() << why;
    } catch (const PolarError& e) {
      EXPECT_NE(std::string(e.what()).find(why), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find("\u201cp.txt\u201d"), std::string::npos);
    }
  }
}

// Within the polar its own points; past the stall angle Viterna and
// Corrigan's plate, which meets the stall point, stands across the wind at
// 90° (all drag, CDmax, no lift) and has no lift edge-on at ±180°.
TEST(Polar, ExtendedToEveryAngle) {
  const ExtendedPolar e(readXfoilPolar(kXfoil, "p.txt"));
  EXPECT_EQ(e.stallAlpha(), 16.0);
  EXPECT_EQ(e.at(5).cl, 1.0086);
  EXPECT_DOUBLE_EQ(e.at(2.5).cl, 0.4887 + 0.5 * (1.0086 - 0.4887));
  EXPECT_NEAR(e.at(16.001).cl, 1.4291, 1e-3);
  EXPECT_NEAR(e.at(16.001).cd, 0.07541, 1e-3);
  EXPECT_NEAR(e.at(90).cd, kFlatPlateDrag, 1e-12);
  EXPECT_NEAR(e.at(90).cl, 0, 1e-12);
  EXPECT_NEAR(e.at(-90).cd, kFlatPlateDrag, 1e-12);
  EXPECT_NEAR(e.at(180).cl, 0, 1e-12);
  EXPECT_NEAR(e.at(-180).cl, 0, 1e-12);
  EXPECT_NEAR(e.at(540).cl, e.at(180).cl, 1e-12);
  // Turned round, the blade's lift is reversed and 0.7 of it, its drag the same.
  EXPECT_NEAR(e.at(135).cl, -0.7 * e.at(45).cl, 1e-3);
  EXPECT_NEAR(e.at(135).cd, e.at(45).cd, 1e-3);
  EXPECT_NEAR(e.at(-45).cl, -0.7 * e.at(45).cl, 1e-3);
}

// Between Reynolds numbers straight in log Re, held beyond the polars.
TEST(Polar, SetInterpolatesInLogReynolds) {
  const auto flat = [](double re, double cl) {
    return Polar{re, {-5, 0, 5, 10}, {cl, cl, cl, cl + 0.1}, {0.01, 0.01, 0.01, 0.02}};
  };
  const PolarSet set({flat(1e6, 1.0), flat(1e5, 0.5)});
  EXPECT_DOUBLE_EQ(set.at(0, std::sqrt(1e5 * 1e6)).cl, 0.75);
  EXPECT_DOUBLE_EQ(set.at(0, 1e5).cl, 0.5);
  EXPECT_DOUBLE_EQ(set.at(0, 1e4).cl, 0.5);
  EXPECT_DOUBLE_EQ(set.at(0, 1e7).cl, 1.0);
  EXPECT_THROW(PolarSet({flat(1e5, 1), flat(1e5, 2)}), PolarError);
}

// The shipped polars read, and NACA 4412 at Re 300,000 has the lift of
// 1.0 at 5° that a blade designed for 0.8 there does not expect.
TEST(Polar, ShippedNaca4412) {
  const std::vector<Polar>& polars = naca4412Polars();
  ASSERT_EQ(polars.size(), 6u);
  EXPECT_EQ(polars.front().reynolds, 50000);
  EXPECT_EQ(polars.back().reynolds, 1000000);
  EXPECT_NEAR(PolarSet(polars).at(5, 300000).cl, 1.0, 0.02);
}

}  // namespace
}  // namespace ventaro
