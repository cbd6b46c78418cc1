// The station table: header, one row per station of both sweeps, values of
// the same computation that wrote the program.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "extras_support.h"
#include "files/station_csv.h"
#include "machine/fixed_text.h"

namespace ventaro {
namespace {

using testing::DesignRun;
using testing::linesOf;

std::string csvOf(const DesignRun& run) {
  return stationCsv(run.record(), stationGeometry(readParameters(run.fields)), run.table);
}

// Every cell, the empty ones at the end included.
std::vector<std::string> cells(const std::string& row) { return linesOf(row + ",", ","); }

TEST(StationCsv, DefaultBladeRowsAndHeader) {
  const DesignRun run;
  const std::string csv = csvOf(run);
  ASSERT_TRUE(csv.ends_with("\r\n"));
  const auto rows = linesOf(csv);
  ASSERT_EQ(rows.size(), 1u + 45u + 89u);  // header, roughing 0..44, finishing 0..88
  EXPECT_EQ(rows[0],
            "sweep,index,radius (mm; 3 decimals),chord (mm; 3 decimals),twist (deg; 4 decimals),"
            "inflow angle (deg; 4 decimals),leading edge Y (mm; 3 decimals),leading edge Z (mm; 3 decimals),"
            "trailing edge Y (mm; 3 decimals),trailing edge Z (mm; 3 decimals),trailing-edge drop (mm; 3 decimals),"
            "thickest point Y (mm; 3 decimals),thickest point Z (mm; 3 decimals),chord wider than stock,"
            "Reynolds number at the design point,angle of attack (deg; 2 decimals),lift coefficient (4 decimals),"
            "drag coefficient (5 decimals),axial induction (4 decimals),tangential induction (4 decimals)");
  // Station 0: r = 0.2000001 m, chord 488.836 mm, twist 0.66366 rad; the
  // leading edge is the offset point, the trailing edge point 18 (100, 0.13)
  // and the thickest point 11 (40, 9.8) of the section.
  EXPECT_EQ(
      rows[1],
      "roughing,0,200.000,488.836,38.0251,43.0251,-74.377,-58.162,310.308,243.464,301.627,50.143,100.026,yes,,,,,,");
  EXPECT_EQ(
      rows[46],
      "finishing,0,200.000,488.836,38.0251,43.0251,-74.377,-58.162,310.308,243.464,301.627,50.143,100.026,yes,,,,,,");
  EXPECT_TRUE(rows[45].starts_with("roughing,44,1678.400,"));
  EXPECT_TRUE(rows[134].starts_with("finishing,88,1678.400,107.661,"));
  // Station 88: point 11 at Y 138.9476, Z 13.8189; point 18 at Y 203.7709, Z 4.9286.
  const auto last = cells(rows[134]);
  ASSERT_EQ(last.size(), 20u);
  EXPECT_EQ(last[8], "203.771");
  EXPECT_EQ(last[9], "4.929");
  EXPECT_EQ(last[11], "138.948");
  EXPECT_EQ(last[12], "13.819");
  EXPECT_EQ(last[13], "no");
}

TEST(StationCsv, ValuesAgreeWithThePlacedProgram) {
  const DesignRun run;
  const auto rows = linesOf(csvOf(run));
  int wider = 0;
  for (std::size_t i = 1; i < rows.size(); ++i) {
    const auto c = cells(rows[i]);
    ASSERT_EQ(c.size(), 20u) << rows[i];
    // The inflow angle is the twist plus the angle of attack, 5 degrees
    // (converted with pi taken as 3.14159: 4.9999958 degrees; each angle is
    // rounded to 4 decimals).
    EXPECT_NEAR(std::stod(c[5]) - std::stod(c[4]), 4.9999958, 0.00011) << rows[i];
    // The drop is the trailing-edge Z over the leading-edge Z.
    EXPECT_NEAR(std::stod(c[9]) - std::stod(c[7]), std::stod(c[10]), 0.0015) << rows[i];
    EXPECT_EQ(c[13] == "yes", std::stod(c[3]) > 300.0) << rows[i];
    if (c[0] == "finishing" && c[13] == "yes") ++wider;
  }
  EXPECT_EQ(wider, 21);  // finishing stations 0 to 20 are wider than the 300 mm block

  // The finishing rows follow the program's finishing moves: station 0 runs
  // leading edge first, so its first move is the leading edge.
  EXPECT_NE(run.program.find("\r\nT2\r\nG1 X200.00 Y-74.37 Z-58.16\r\n"), std::string::npos);
}

TEST(StationCsv, AnglesInTrueDegreesOfTheCoresAttack) {
  // The twist is the core's radians in true degrees; the inflow angle adds
  // the angle of attack as the core turned it into radians, with pi taken
  // as 3.14159, so it lies 5 x 3.14159 / pi = 4.9999958 degrees above the
  // twist. Degrees from 3.14159 would raise the twist by 0.00003; an attack
  // converted with the true pi would give exactly 5. Either shows in the
  // table at roughing station 2, whose inflow angle ends in 2, not 3.
  const DesignRun run;
  const StationGeometry geo = stationGeometry(readParameters(run.fields));
  const int thickest = thickestIndex(run.table);
  const StationValues v0 = stationValues(run.record().roughing[0], geo, thickest);
  EXPECT_NEAR(v0.twistDeg, 38.025054881, 1e-9);
  EXPECT_NEAR(v0.inflowDeg - v0.twistDeg, 4.99999577, 1e-8);
  const auto rows = linesOf(csvOf(run));
  EXPECT_TRUE(rows[3].starts_with("roughing,2,267.200,460.087,29.9383,34.9382,")) << rows[3];
}

TEST(StationCsv, ChordWiderThanTheStockEverywhere) {
  const DesignRun run(testing::narrowStock());
  const auto rows = linesOf(csvOf(run));
  ASSERT_EQ(rows.size(), 1u + 9u + 18u);
  for (std::size_t i = 1; i < rows.size(); ++i) EXPECT_TRUE(rows[i].ends_with(",yes,,,,,,")) << rows[i];
  EXPECT_EQ(
      rows[1],
      "roughing,0,100.000,393.750,40.0000,45.0000,-131.664,-110.479,169.637,143.011,253.490,-35.815,20.320,yes,,,,,,");
}

TEST(StationCsv, NoStationsGiveTheHeaderAlone) {
  const DesignRun run({{Field::HubRad, "2"}});
  EXPECT_EQ(linesOf(csvOf(run)).size(), 1u);
}

TEST(StationCsv, FieldQuotingAndFixedNumbers) {
  EXPECT_EQ(csvField("roughing"), "roughing");
  EXPECT_EQ(csvField("a,b"), "\"a,b\"");
  EXPECT_EQ(csvField("say \"hi\""), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(csvField("two\r\nlines"), "\"two\r\nlines\"");
  EXPECT_EQ(fixedText(-0.0004, 3), "0.000");
  EXPECT_EQ(fixedText(-0.0005001, 3), "-0.001");
  EXPECT_EQ(fixedText(1678.4001, 3), "1678.400");
  EXPECT_EQ(fixedText(2.5, 0), "2");
}

}  // namespace
}  // namespace ventaro
