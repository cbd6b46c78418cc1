// The blade: section table, station counts from the tools, the last station
// index, the station values and the placed section points. Values that come
// from atan, sin, cos or pow are checked to the digits that do not depend on
// the platform's functions; the others exactly.
#include <gtest/gtest.h>

#include "core/blade_stations.h"
#include "core/number_text.h"
#include "core/section_placement.h"
#include "core/station_count.h"
#include "test_support.h"

namespace ventaro {
namespace {

using test::fieldsWith;
using test::Overrides;
using test::table;

TEST(SectionTable, HoldsTheNaca4412UpperSurfaceInSinglePrecision) {
  const SectionTable& t = table();
  EXPECT_EQ(t.lower(), 1);
  EXPECT_EQ(t.upper(), 18);
  EXPECT_EQ(t.ProfileX(1), 0.0f);
  EXPECT_EQ(t.ProfileY(1), 0.0f);
  EXPECT_EQ(t.ProfileX(11), 40.0f);
  EXPECT_EQ(t.ProfileY(11), 9.8f);
  EXPECT_EQ(t.ProfileX(18), 100.0f);
  EXPECT_EQ(t.ProfileY(18), 0.13f);
  EXPECT_EQ(static_cast<double>(t.ProfileY(2)), 2.4400000572204590);
  EXPECT_EQ(static_cast<double>(t.ProfileY(12)), 9.1899995803833008);
  for (int i = 2; i <= 18; ++i) EXPECT_LT(t.ProfileX(i - 1), t.ProfileX(i));
  EXPECT_THROW(t.ProfileX(0), RunError);
  EXPECT_THROW(t.ProfileY(19), RunError);
}

std::string countText(Overrides overrides, Tool tool) { return stationCountText(fieldsWith(overrides), tool); }

std::string failingCount(Overrides overrides) {
  try {
    derivedStationCountText(fieldsWith(overrides), Tool::Finishing);
  } catch (const RunError& error) {
    return error.report();
  }
  return "no error";
}

TEST(StationCount, ExactTexts) {
  EXPECT_EQ(countText({}, Tool::Roughing), "50");
  EXPECT_EQ(countText({}, Tool::Finishing), "100");
  EXPECT_EQ(countText({{Field::RoughDia, "25"}, {Field::RoughStep, "70"}}, Tool::Roughing), "84.5714285714286");
  EXPECT_EQ(countText({{Field::FinStep, "75"}}, Tool::Finishing), "98.6666666666667");
  EXPECT_EQ(countText({{Field::HubRad, "2"}}, Tool::Finishing), "-21.6216216216216");
  // Typing "25" over "20": each change counts.
  EXPECT_EQ(countText({{Field::FinDia, "2"}}, Tool::Finishing), "1000");
  EXPECT_EQ(countText({{Field::FinDia, "25"}}, Tool::Finishing), "80");
  // The other tool's fields play no part.
  EXPECT_EQ(countText({{Field::RoughDia, ""}, {Field::RoughStep, "x"}}, Tool::Finishing), "100");
}

TEST(StationCount, Failures) {
  const auto failure = [](Overrides overrides) {
    try {
      countText(overrides, Tool::Finishing);
    } catch (const RunError& error) {
      return std::pair(error.kind(), error.field());
    }
    ADD_FAILURE() << "no error";
    return std::pair(ErrorKind::FloatingPoint, std::optional<Field>());
  };
  using P = std::pair<ErrorKind, std::optional<Field>>;
  EXPECT_EQ(failure({{Field::FinDia, ""}}), P(ErrorKind::TypeMismatch, Field::FinDia));
  EXPECT_EQ(failure({{Field::FinStep, "7a"}}), P(ErrorKind::TypeMismatch, Field::FinStep));
  // D is read first, then the hub radius, the diameter and the stepover.
  EXPECT_EQ(failure({{Field::D, "x"}, {Field::HubRad, "x"}, {Field::FinDia, "x"}}),
            P(ErrorKind::TypeMismatch, Field::D));
  EXPECT_EQ(failure({{Field::HubRad, ""}, {Field::FinDia, "x"}}), P(ErrorKind::TypeMismatch, Field::HubRad));
  EXPECT_EQ(failure({{Field::FinDia, "0"}}), P(ErrorKind::DivisionByZero, Field::FinDia));
  EXPECT_EQ(failure({{Field::FinStep, "0"}}).first, ErrorKind::DivisionByZero);
  EXPECT_EQ(failure({{Field::FinDia, "1e-310"}}).first, ErrorKind::Overflow);
}

TEST(StationCount, ARunRefusesADerivedCountBelowZeroNamingItsCause) {
  const struct {
    Overrides overrides;
    std::optional<Field> blamed;  // none: the count is taken
  } cases[] = {
      {{}, std::nullopt},
      {{{Field::HubRad, "1.68"}}, std::nullopt},  // a span of 0 gives the count 0
      {{{Field::FinDia, "-20"}, {Field::FinStep, "-74"}}, std::nullopt},
      {{{Field::HubRad, "2"}}, Field::HubRad},
      {{{Field::D, "-3.36"}}, Field::D},
      {{{Field::FinDia, "-20"}}, Field::FinDia},
      {{{Field::FinStep, "-74"}}, Field::FinStep},
  };
  for (const auto& c : cases) {
    const JobFields fields = fieldsWith(c.overrides);
    const std::string shown = stationCountText(fields, Tool::Finishing);
    try {
      EXPECT_EQ(derivedStationCountText(fields, Tool::Finishing), shown);
      EXPECT_FALSE(c.blamed) << shown;
    } catch (const RunError& error) {
      EXPECT_EQ(error.kind(), ErrorKind::Overflow);
      EXPECT_EQ(error.field(), c.blamed) << error.report();
    }
  }
  EXPECT_EQ(failingCount({{Field::HubRad, "2"}}),
            "Overflow: \u201cHub Radius / meter\u201d lies beyond the tip, so the finishing station count is below 0.");
}

BladeParameters defaults(Overrides overrides = {}) { return readParameters(fieldsWith(overrides)); }

TEST(LastStation, RoundsHalfToEvenAndChecks16Bits) {
  const BladeParameters p = defaults();
  EXPECT_EQ(LastStation(p, p.STNfinish, Sweep::Finishing), 88);
  EXPECT_EQ(LastStation(p, p.STNrough, Sweep::Roughing), 44);
  for (const auto& [s, n] : {std::pair("1", 0), std::pair("3", 2), std::pair("5", 2), std::pair("7", 4)}) {
    const BladeParameters q = defaults({{Field::HubRad, "1"}, {Field::D, "4"}, {Field::STNfinish, s}});
    EXPECT_EQ(LastStation(q, q.STNfinish, Sweep::Finishing), n) << "S = " << s;
  }
  const BladeParameters hub2 = defaults({{Field::HubRad, "2"}});
  EXPECT_EQ(LastStation(hub2, hub2.STNrough, Sweep::Roughing), -10);
  EXPECT_EQ(LastStation(hub2, hub2.STNfinish, Sweep::Finishing), -19);
  const BladeParameters hub0 = defaults({{Field::HubRad, "0"}, {Field::STNfinish, "32767.5"}});
  EXPECT_THROW(LastStation(hub0, hub0.STNfinish, Sweep::Finishing), RunError);
  const BladeParameters d0 = defaults({{Field::D, "0"}});
  try {
    LastStation(d0, d0.STNfinish, Sweep::Finishing);
    ADD_FAILURE() << "D = 0 gave a last station";
  } catch (const RunError& error) {
    EXPECT_EQ(error.kind(), ErrorKind::DivisionByZero);
  }
}

TEST(BladeStations, StationsZeroAndEightyEight) {
  const BladeParameters p = defaults();
  const BladeStation s0 = computeStation(p, p.STNfinish, 0, Sweep::Finishing);
  EXPECT_EQ(static_cast<double>(s0.Radius), 0.2000001072883606);
  EXPECT_NEAR(s0.ChordScale, 4.8883608645, 1e-10);
  EXPECT_NEAR(s0.Twist, 0.66366240593, 1e-11);
  EXPECT_NEAR(s0.OffsetZ, -0.058162081683, 1e-12);
  EXPECT_NEAR(s0.OffsetY, -0.074377007782, 1e-9);  // a single
  // Station 0 does not depend on the station count.
  const BladeStation r0 = computeStation(p, p.STNrough, 0, Sweep::Roughing);
  EXPECT_EQ(r0.Radius, s0.Radius);
  EXPECT_EQ(r0.ChordScale, s0.ChordScale);

  const BladeStation s88 = computeStation(p, p.STNfinish, 88, Sweep::Finishing);
  EXPECT_EQ(static_cast<double>(s88.Radius), 1.6784001588821411);
  EXPECT_NEAR(s88.ChordScale, 1.0766099793, 1e-10);
  EXPECT_NEAR(s88.Twist, 0.023495449932, 1e-12);
  EXPECT_FLOAT_EQ(computeStation(p, p.STNfinish, 1, Sweep::Finishing).Radius - s0.Radius, 0.0168f);
  EXPECT_FLOAT_EQ(computeStation(p, p.STNrough, 1, Sweep::Roughing).Radius - s0.Radius, 0.0336f);
}

TEST(BladeStations, HubRadiusZeroKeepsStationZeroFinite) {
  const BladeParameters p = defaults({{Field::HubRad, "0"}});
  EXPECT_EQ(LastStation(p, p.STNfinish, Sweep::Finishing), 100);
  const BladeStation s0 = computeStation(p, p.STNfinish, 0, Sweep::Finishing);
  EXPECT_EQ(static_cast<double>(s0.Radius), 1.0000000116860974e-07);
  EXPECT_NEAR(s0.ChordScale, 5.25e-6, 0.005e-6);
  const BladeStation s100 = computeStation(p, p.STNfinish, 100, Sweep::Finishing);
  EXPECT_EQ(static_cast<double>(s100.Radius), 1.6800000667572021);

  const StationFrame frame = frameOf(s0, 0, Sweep::Finishing);
  for (int j = 1; j <= 18; ++j) {
    const PlacedPoint pt = placePoint(frame, table(), j);
    EXPECT_NEAR(pt.Y, 13.0734, 0.0005) << j;
    EXPECT_NEAR(pt.Z, 149.429, 0.0005) << j;
  }
}

TEST(SectionPlacement, StationsZeroAndEightyEight) {
  const BladeParameters p = defaults();
  const BladeStation s0 = computeStation(p, p.STNfinish, 0, Sweep::Finishing);
  const StationFrame f0 = frameOf(s0, 0, Sweep::Finishing);
  EXPECT_EQ(static_cast<double>(stationX(s0, 0, Sweep::Finishing)), 200.00010681152344);

  // The leading edge lands on the offset point: Y is the single 1000 OffsetY.
  const PlacedPoint le = placePoint(f0, table(), 1);
  EXPECT_EQ(le.Y, static_cast<double>(s0.OffsetY * 1000.0f));
  EXPECT_EQ(le.Y, -74.37700653076172);
  EXPECT_EQ(le.Z, static_cast<float>(s0.OffsetZ * 1000.0));
  EXPECT_NEAR(le.Z, -58.1620827, 1e-5);

  const struct {
    int station, j;
    double y;
    float z;
  } expected[] = {
      {0, 2, -76.911024623, -45.0021400f}, {0, 11, 50.143228423, 100.025795f},  {0, 18, 310.30798000, 243.464478f},
      {88, 11, 138.94759266, 13.8189278f}, {88, 18, 203.77094678, 4.92856932f},
  };
  for (const auto& e : expected) {
    const BladeStation st = computeStation(p, p.STNfinish, e.station, Sweep::Finishing);
    const PlacedPoint pt = placePoint(frameOf(st, e.station, Sweep::Finishing), table(), e.j);
    EXPECT_NEAR(pt.Y, e.y, 1e-8) << e.station << '/' << e.j;
    EXPECT_NEAR(pt.Z, e.z, std::abs(e.z) * 2e-7f) << e.station << '/' << e.j;
  }
  const BladeStation s88 = computeStation(p, p.STNfinish, 88, Sweep::Finishing);
  EXPECT_EQ(static_cast<double>(stationX(s88, 88, Sweep::Finishing)), 1678.400146484375);
}

}  // namespace
}  // namespace ventaro
