#include "core/blade_stations.h"

#include <cmath>
#include <string>

#include "core/checked.h"

namespace ventaro {

const char* sweepName(Sweep sweep) { return sweep == Sweep::Roughing ? "roughing" : "finishing"; }

BladeStation& StationTable::at(int i, Sweep sweep) {
  if (i < 0 || i > kMaxStation) {
    raise(ErrorKind::SubscriptOutOfRange, sweep == Sweep::Roughing ? Field::STNrough : Field::STNfinish,
          std::string("more than ") + std::to_string(kMaxStation + 1) + " " + sweepName(sweep) + " stations");
  }
  return stations_[static_cast<std::size_t>(i)];
}

std::int16_t LastStation(const BladeParameters& p, const TextNumber& S, Sweep sweep) {
  const char* what = sweep == Sweep::Roughing ? "the last roughing station" : "the last finishing station";
  // The doubled hub radius is held in single precision; it is exact.
  const float h = toSingleN(static_cast<double>(p.HubRad) + static_cast<double>(p.HubRad), Step{what, Field::HubRad});
  const double s = S.value();
  const double hd = div(h, p.D.value(), Step{what, Field::D});
  const double q = sub(s, mul(hd, S.value(), Step{what, S.field()}), Step{what, S.field()});
  const double n = std::nearbyint(q);
  if (!(n >= -32768.0 && n <= 32767.0)) {
    raiseAbout(ErrorKind::Overflow, S.field(), "gives more stations than can be counted");
  }
  return static_cast<std::int16_t>(n);
}

BladeStation computeStation(const BladeParameters& p, const TextNumber& S, int i, Sweep sweep) {
  const char* name = sweepName(sweep);
  const auto at = [&](const char* what, std::optional<Field> field) { return Step{what, field, i, name}; };
  BladeStation st;

  // Radius; the 1e-7 keeps it above zero when the hub radius is 0, so that
  // station 0 still has a finite inflow angle and chord.
  {
    const Step step = at("the radius", S.field());
    double r = div(static_cast<double>(i), S.value(), step);
    r = mul(r, p.D.value(), at("the radius", Field::D));
    r = div(r, 2.0, step);
    r = add(r, static_cast<double>(p.HubRad), step);
    r = add(r, 0.0000001, step);
    st.Radius = toSingle(r, step);
  }
  const double r = st.Radius;

  const auto inflowAngle = [&] {
    double x = div(p.D.value(), 3.0, at("the inflow angle", Field::D));
    x = div(x, p.TSR.value(), at("the inflow angle", Field::TSR));
    x = div(x, r, at("the inflow angle", std::nullopt));
    return std::atan(x);
  };
  const double phi = inflowAngle();

  {
    const Step step = at("the chord", std::nullopt);
    double c = mul(1.4, pow2(p.D.value(), at("the chord", Field::D)), step);
    c = div(c, r, step);
    c = mul(c, pow2(std::cos(phi), step), step);
    c = div(c, pow2(p.TSR.value(), at("the chord", Field::TSR)), at("the chord", Field::TSR));
    c = div(c, p.B.value(), at("the chord", Field::B));
    c = div(c, p.Cl.value(), at("the chord", Field::Cl));
    c = div(c, 0.1, step);
    st.ChordScale = c;
  }

  // The angle of attack in radians (kDegreesPerRadian).
  {
    const double phiAgain = inflowAngle();
    const double alpha = div(p.AT.value(), kDegreesPerRadian, at("the twist", Field::AT));
    st.Twist = sub(phiAgain, alpha, at("the twist", Field::AT));
  }

  // The stock width left beside the chord, split evenly to both sides along
  // the chord line; negative where the chord is wider than the stock.
  {
    const Step step = at("the section offsets", Field::Max);
    const double t = sub(p.Max.value(), div(st.ChordScale, 10.0, step), step);
    st.OffsetZ = div(mul(std::sin(st.Twist), t, step), 2.0, step);
    st.OffsetY = toSingle(div(mul(std::cos(st.Twist), t, step), 2.0, step), step);
  }
  return st;
}

}  // namespace ventaro
