// The rotor's performance end to end through the built ventaro-gcode: the
// tables, the report's lines and the station table's design point, against
// the default blade's figures measured with XFOIL's NACA 4412 polars and a
// BEM analysis of its own (Cp 0.456 at the design ratio 6, 0.467 at 5; the
// sections overloaded at 3.0° to 3.6° against the 5° they were twisted for).
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <sstream>

#include "cli_process.h"

namespace ventaro {
namespace {

using testing::readFile;
using testing::runCli;
using testing::TempDir;

std::vector<std::vector<std::string>> rowsOf(const std::string& csv) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(csv);
  for (std::string line; std::getline(in, line);) {
    EXPECT_TRUE(line.ends_with('\r')) << line;
    if (line.ends_with('\r')) line.pop_back();
    std::vector<std::string> cells;
    std::size_t from = 0;
    for (std::size_t comma; (comma = line.find(',', from)) != std::string::npos; from = comma + 1) {
      cells.push_back(line.substr(from, comma - from));
    }
    cells.push_back(line.substr(from));
    rows.push_back(cells);
  }
  return rows;
}

TEST(PerformanceCli, TablesReportAndStationsOfTheDefaultBlade) {
  TempDir dir;
  const auto run =
      runCli({"-o", dir.file("blade.ngc"), "--quiet", "--performance", dir.file("cp.csv"), "--power",
              dir.file("power.csv"), "--report=" + dir.file("report.txt"), "--stations", dir.file("stations.csv")});
  ASSERT_EQ(run.status, 0) << run.err;

  const auto cp = rowsOf(readFile(dir.file("cp.csv")));
  ASSERT_EQ(cp.size(), 24u);
  EXPECT_EQ(cp[0], (std::vector<std::string>{"tsr", "cp", "ct", "cq"}));
  EXPECT_EQ(cp[1][0], "1.0");
  EXPECT_EQ(cp[23][0], "12.0");
  EXPECT_NEAR(std::stod(cp[11][1]), 0.456, 0.003);  // tsr 6.0
  EXPECT_NEAR(std::stod(cp[9][1]), 0.467, 0.003);   // tsr 5.0
  for (std::size_t k = 1; k < cp.size(); ++k) {
    // The torque coefficient is the power coefficient over the ratio.
    EXPECT_NEAR(std::stod(cp[k][3]) * std::stod(cp[k][0]), std::stod(cp[k][1]), 1e-4) << k;
  }

  // At the design ratio 6 the rotor of 1.68 m turns 6 v / 1.68 rad/s.
  const auto power = rowsOf(readFile(dir.file("power.csv")));
  ASSERT_EQ(power.size(), 14u);
  EXPECT_EQ(power[0], (std::vector<std::string>{"wind", "rpm", "power_w", "torque_nm"}));
  for (std::size_t k = 1; k < power.size(); ++k) {
    const double wind = 2.0 + static_cast<double>(k), omega = 6 * wind / 1.68;
    EXPECT_EQ(power[k][0], std::to_string(static_cast<int>(wind)));
    EXPECT_NEAR(std::stod(power[k][1]), omega * 60 / (2 * std::numbers::pi), 0.05);
    EXPECT_NEAR(std::stod(power[k][2]), std::stod(power[k][3]) * omega, 0.002 * std::stod(power[k][2]) + 0.1);
  }
  // At 8 m/s: Cp 0.456 of the wind's 0.5 ρ v³ π R².
  EXPECT_NEAR(std::stod(power[6][2]), 0.456 * 0.5 * 1.225 * 512 * std::numbers::pi * 1.68 * 1.68, 25);

  const std::string report = readFile(dir.file("report.txt"));
  EXPECT_NE(report.find("\nPerformance (blade element momentum analysis with the NACA 4412 polars shipped with "
                        "Ventaro, wind 8.0 m/s):\n  power coefficient Cp 0.45"),
            std::string::npos)
      << report;
  EXPECT_NE(report.find(" at the design tip speed ratio 6.00\n  highest Cp 0.46"), std::string::npos);

  // Away from the root and the tip the sections meet the wind at 3.0° to 3.7°.
  const auto stations = rowsOf(readFile(dir.file("stations.csv")));
  ASSERT_EQ(stations[0].size(), 20u);
  EXPECT_EQ(stations[0][15], "angle of attack (deg; 2 decimals)");
  for (const auto& row : stations) {
    if (row[0] != "finishing" || std::stod(row[2]) < 600 || std::stod(row[2]) > 1400) continue;
    EXPECT_GT(std::stod(row[15]), 3.0) << row[2];
    EXPECT_LT(std::stod(row[15]), 3.7) << row[2];
    EXPECT_GT(std::stod(row[14]), 2e5);  // Reynolds number
  }
}

// Polar files as XFOIL writes them: the same polars as the shipped ones give
// the same figures; a file that is no polar is refused by name.
TEST(PerformanceCli, PolarFilesGiven) {
  TempDir dir;
  std::vector<std::string> args{"-o", dir.file("blade.ngc"), "--quiet", "--performance", dir.file("given.csv")};
  for (const char* re : {"50000", "100000", "200000", "300000", "500000", "1000000"}) {
    args.push_back("--polar");
    args.push_back(std::string(VENTARO_POLARS_DIR) + "/naca4412_re" + re + ".txt");
  }
  ASSERT_EQ(runCli(args).status, 0);
  ASSERT_EQ(runCli({"-o", dir.file("blade.ngc"), "--quiet", "--performance", dir.file("shipped.csv")}).status, 0);
  EXPECT_EQ(readFile(dir.file("given.csv")), readFile(dir.file("shipped.csv")));

  testing::writeFile(dir.file("bad.txt"), "not a polar\n");
  const auto bad = runCli({"-o", dir.file("blade.ngc"), "--polar", dir.file("bad.txt")});
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.err.find("cannot read the polar \u201c" + dir.file("bad.txt") + "\u201d: it gives no Reynolds number"),
            std::string::npos)
      << bad.err;
  const auto storm = runCli({"-o", dir.file("blade.ngc"), "--wind", "1e308"});
  EXPECT_EQ(storm.status, 2);
  EXPECT_NE(storm.err.find("the wind speed must be at most 100 m/s"), std::string::npos) << storm.err;
  const auto missing = runCli({"-o", dir.file("blade.ngc"), "--polar", dir.file("none.txt")});
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("No such file or directory"), std::string::npos) << missing.err;
}

}  // namespace
}  // namespace ventaro
