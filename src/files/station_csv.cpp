#include "files/station_csv.h"

#include <numbers>

#include "machine/fixed_text.h"

namespace ventaro {

namespace {

constexpr int kMmDecimals = 3;
constexpr int kDegDecimals = 4;

// The table gives angles in true degrees; only the core's conversion of the
// angle of attack takes pi as 3.14159.
double toDegrees(double radians) { return radians * (180.0 / std::numbers::pi); }

void addRow(std::string& csv, std::string_view sweep, const StationRecord& rec, const StationValues& v,
            const StationAero& aero) {
  const auto mm = [](double x) { return fixedText(x, kMmDecimals); };
  const auto deg = [](double x) { return fixedText(x, kDegDecimals); };
  csv += csvField(sweep);
  csv += ',' + std::to_string(rec.index);
  for (const std::string& cell :
       {mm(v.radiusMm), mm(v.chordMm), deg(v.twistDeg), deg(v.inflowDeg), mm(v.leadingY), mm(v.leadingZ),
        mm(v.trailingY), mm(v.trailingZ), mm(v.trailingDrop), mm(v.thickY), mm(v.thickZ)}) {
    csv += ',';
    csv += cell;
  }
  csv += v.widerThanStock ? ",yes" : ",no";
  if (aero) {
    for (const std::string& cell : {fixedText(aero->reynolds, 0), fixedText(aero->alpha, 2), fixedText(aero->cl, 4),
                                    fixedText(aero->cd, 5), fixedText(aero->a, 4), fixedText(aero->aPrime, 4)}) {
      csv += ',';
      csv += cell;
    }
  } else {
    csv += ",,,,,,";
  }
  csv += "\r\n";
}

}  // namespace

StationGeometry stationGeometry(const BladeParameters& p) {
  // The inflow angle is the twist plus the angle of attack exactly as the
  // core converted it.
  return StationGeometry{p.AT.value() / kDegreesPerRadian, p.Max.value() * 1000.0};
}

int thickestIndex(const SectionTable& table) {
  int best = table.lower();
  for (int j = table.lower(); j <= table.upper(); ++j) {
    if (table.ProfileY(j) > table.ProfileY(best)) best = j;
  }
  return best;
}

StationValues stationValues(const StationRecord& rec, const StationGeometry& geo, int thickest) {
  const PlacedPoint& le = rec.points[SectionTable::kLower];
  const PlacedPoint& te = rec.points[SectionTable::kUpper];
  const PlacedPoint& th = rec.points[static_cast<std::size_t>(thickest)];
  StationValues v{};
  v.radiusMm = rec.x;
  v.chordMm = rec.station.ChordScale * 100.0;
  v.twistDeg = toDegrees(rec.station.Twist);
  v.inflowDeg = toDegrees(rec.station.Twist + geo.attackRadians);
  v.leadingY = le.Y;
  v.leadingZ = le.Z;
  v.trailingY = te.Y;
  v.trailingZ = te.Z;
  v.trailingDrop = static_cast<double>(te.Z) - static_cast<double>(le.Z);
  v.thickY = th.Y;
  v.thickZ = th.Z;
  v.widerThanStock = v.chordMm > geo.stockWidthMm;
  v.leadingOutside = le.Y < 0.0 || le.Y > geo.stockWidthMm;
  v.trailingOutside = te.Y < 0.0 || te.Y > geo.stockWidthMm;
  return v;
}

std::string csvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

std::string stationCsv(const DesignRecord& record, const StationGeometry& geo, const SectionTable& table,
                       const std::vector<StationAero>& aero) {
  std::string csv =
      "sweep,index,radius (mm; 3 decimals),chord (mm; 3 decimals),twist (deg; 4 decimals),"
      "inflow angle (deg; 4 decimals),leading edge Y (mm; 3 decimals),leading edge Z (mm; 3 decimals),"
      "trailing edge Y (mm; 3 decimals),trailing edge Z (mm; 3 decimals),trailing-edge drop (mm; 3 decimals),"
      "thickest point Y (mm; 3 decimals),thickest point Z (mm; 3 decimals),chord wider than stock,"
      "Reynolds number at the design point,angle of attack (deg; 2 decimals),lift coefficient (4 decimals),"
      "drag coefficient (5 decimals),axial induction (4 decimals),tangential induction (4 decimals)\r\n";
  const int thickest = thickestIndex(table);
  std::size_t row = 0;
  for (Sweep s : {Sweep::Roughing, Sweep::Finishing}) {
    for (const StationRecord& rec : record.sweep(s)) {
      addRow(csv, sweepName(s), rec, stationValues(rec, geo, thickest), row < aero.size() ? aero[row] : StationAero{});
      ++row;
    }
  }
  return csv;
}

}  // namespace ventaro
