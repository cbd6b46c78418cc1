// XFOIL run as a program of its own: the real one against the polars
// shipped with Ventaro (made by XFOIL too), and stand-ins that die with
// SIGFPE part way through a sweep or never finish.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <string>
#include <tuple>

#include "aero/naca4412_polars.h"
#include "aero/xfoil_run.h"

namespace ventaro {
namespace {

std::string script(const std::string& name, const std::string& body) {
  const std::string path = testing::TempDir() + name;
  std::ofstream(path) << "#!/bin/bash\n" << body;
  chmod(path.c_str(), 0755);
  return path;
}

// Writes the polar of a sweep as PACC does, point by point, and dies with
// SIGFPE at 3 degrees, as Debian's xfoil does in a viscous sweep; with
// ONLY_RE set, converges at no angle at any other Reynolds number.
constexpr const char* kDiesAtThree = R"(
while read -r line; do
  case "$line" in ASEQ*) set -- $line; from=$2; to=$3; step=$4;; VISC*) set -- $line; re=$2;; esac
done
[ -n "$ONLY_RE" ] && [ "$re" != "$ONLY_RE" ] && exit 0
cat > polar <<'H'
 Calculated polar for: stand-in
 xtrf =   1.000 (top)        1.000 (bottom)
 Mach =   0.000     Re =     0.200 e 6     Ncrit =   9.000  9.000
   alpha    CL        CD       CDp       CM     Top_Xtr  Bot_Xtr  Top_Itr  Bot_Itr
  ------ -------- --------- --------- -------- -------- -------- -------- --------
H
awk -v a="$from" -v b="$to" -v d="$step" 'BEGIN {
  for (x = a; (d > 0) ? x <= b + 1e-9 : x >= b - 1e-9; x += d) {
    if (x > 2.999 && x < 3.001) exit 3
    printf "%8.3f %8.4f %9.5f %9.5f %8.4f %8.4f %8.4f %8.4f %8.4f\n", x, 0.4 + 0.1 * x, 0.01, 0.005, -0.1, 0.5, 1, 1, 1
  }
}' >> polar
[ $? -eq 3 ] && kill -FPE $$
exit 0
)";

TEST(Xfoil, SweepThatDiesIsTakenUpPastTheAngleItDiedAt) {
  XfoilOptions options;
  options.program = script("dies-at-three", kDiesAtThree);
  options.preload.clear();
  options.reynolds = {200000};
  options.lowest = -3;
  options.highest = 6;
  const std::vector<Polar> polars = xfoilPolars(nullptr, options);
  ASSERT_EQ(polars.size(), 1u);
  EXPECT_EQ(polars[0].reynolds, 200000);
  EXPECT_EQ(polars[0].alpha, (std::vector<double>{-3, -2, -1, 0, 1, 2, 4, 5, 6}));
  EXPECT_DOUBLE_EQ(polars[0].cl.back(), 1.0);
}

// A Reynolds number where XFOIL converges nowhere is left out; the others
// stand.
TEST(Xfoil, ReynoldsNumberWithoutPointsIsLeftOut) {
  XfoilOptions options;
  options.program = script("only-at-200000", std::string("ONLY_RE=200000\n") + kDiesAtThree);
  options.preload.clear();
  options.reynolds = {100000, 200000};
  options.lowest = -2;
  options.highest = 2;
  const std::vector<Polar> polars = xfoilPolars(nullptr, options);
  ASSERT_EQ(polars.size(), 1u);
  EXPECT_EQ(polars[0].reynolds, 200000);
}

TEST(Xfoil, RefusesWhatCannotGivePolars) {
  XfoilOptions options;
  options.reynolds = {200000};
  for (const auto& [program, timeout, why] :
       {std::tuple{std::string("/nowhere/xfoil"), 60.0, "XFOIL is not installed"},
        std::tuple{script("never-ends", "sleep 30\n"), 0.3, "XFOIL ran longer than"},
        std::tuple{script("no-points", "exit 0\n"), 60.0, "fewer than five angles at every Reynolds"}}) {
    options.program = program;
    options.timeoutSeconds = timeout;
    try {
      (void)xfoilPolars(nullptr, options);
      ADD_FAILURE() << why;
    } catch (const PolarError& error) {
      EXPECT_NE(std::string(error.what()).find(why), std::string::npos) << error.what();
    }
  }
}

// The real XFOIL, through the preload, gives the polar Ventaro ships for
// the same airfoil and Reynolds number.
TEST(Xfoil, RealXfoilGivesTheShippedPolar) {
  if (!xfoilInstalled()) GTEST_SKIP() << "xfoil is not installed";
  XfoilOptions options;
  options.reynolds = {200000};
  options.lowest = -4;
  options.highest = 10;
  const std::vector<Polar> polars = xfoilPolars(nullptr, options);
  ASSERT_EQ(polars.size(), 1u);
  const Polar& shipped = *std::find_if(naca4412Polars().begin(), naca4412Polars().end(),
                                       [](const Polar& p) { return p.reynolds == 200000; });
  int compared = 0;
  for (std::size_t i = 0; i < polars[0].alpha.size(); ++i) {
    for (std::size_t k = 0; k < shipped.alpha.size(); ++k) {
      if (shipped.alpha[k] != polars[0].alpha[i]) continue;
      ++compared;
      EXPECT_NEAR(polars[0].cl[i], shipped.cl[k], 0.02) << shipped.alpha[k];
      EXPECT_NEAR(polars[0].cd[i], shipped.cd[k], 0.001) << shipped.alpha[k];
    }
  }
  EXPECT_GE(compared, 13);
}

}  // namespace
}  // namespace ventaro
