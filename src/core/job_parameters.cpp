#include "core/job_parameters.h"

#include "core/number_text.h"

namespace ventaro {

JobFields::JobFields() {
  for (std::size_t i = 0; i < texts_.size(); ++i) texts_[i] = std::string(defaultText(static_cast<Field>(i)));
}

std::string_view JobFields::defaultText(Field field) { return fieldInfo(field).defaultText; }

double TextNumber::value() const {
  if (!value_) value_ = toDouble(text_, field_);
  return *value_;
}

namespace {

// Station i of a sweep lies at the hub radius plus i / S of the rotor radius
// D / 2. A hub radius below 0 puts the first stations on the far side of
// the axis; a count or diameter below 0 runs the stations from the hub
// inwards, through the axis, or from a hub beyond the tip down to it. None
// of that is a blade, so such a run stops while its record is filled,
// before any of the program is written. (A count below 0 with the hub
// inside the tip would leave its sweep without a station; it is refused
// alike, since it is never what was meant.)
void refuseBelowZero(double value, Field field) {
  if (value < 0.0) raiseAbout(ErrorKind::Overflow, field, "is below 0: stations would lie outside the rotor");
}

// The diameter and the counts keep their texts; only a text that is a
// number is checked here, any other text fails at its first conversion as
// before.
TextNumber notBelowZero(const std::string& text, Field field) {
  const ParsedNumber parsed = parseNumber(text);
  if (parsed.status == ParseStatus::Ok) refuseBelowZero(parsed.value, field);
  return TextNumber(text, field);
}

// A count below 0 is most often the work of a hub radius beyond the tip,
// from which the station count was worked out: the message says so, since
// the user cannot type into the count's field.
TextNumber countNotBelowZero(const JobFields& f, Field field) {
  const ParsedNumber count = parseNumber(f[field]);
  const ParsedNumber d = parseNumber(f[Field::D]);
  const ParsedNumber hub = parseNumber(f[Field::HubRad]);
  if (count.status == ParseStatus::Ok && count.value < 0.0 && d.status == ParseStatus::Ok &&
      hub.status == ParseStatus::Ok && d.value / 2.0 - hub.value < 0.0) {
    raiseAbout(ErrorKind::Overflow, field,
               "is below 0 because " + quotedLabel(Field::HubRad) +
                   " lies beyond the tip: stations would lie "
                   "outside the rotor");
  }
  return notBelowZero(f[field], field);
}

float hubRadius(const std::string& text) {
  const float radius = toSingle(text, Field::HubRad);
  refuseBelowZero(radius, Field::HubRad);
  return radius;
}

}  // namespace

BladeParameters readParameters(const JobFields& f) {
  // Designated initialisers run in member order, which is the reading order
  // of the fields, so the three conversions meet their errors in that order.
  return BladeParameters{
      .TSR = TextNumber(f[Field::TSR], Field::TSR),
      .D = notBelowZero(f[Field::D], Field::D),
      .HubRad = hubRadius(f[Field::HubRad]),
      .B = TextNumber(f[Field::B], Field::B),
      .AT = TextNumber(f[Field::AT], Field::AT),
      .Cl = TextNumber(f[Field::Cl], Field::Cl),
      .STNfinish = countNotBelowZero(f, Field::STNfinish),
      .STNrough = countNotBelowZero(f, Field::STNrough),
      .RoughPassesNo = toInt16(f[Field::RoughPassesNo], Field::RoughPassesNo),
      .Max = TextNumber(f[Field::Max], Field::Max),
      .RoughDia = f[Field::RoughDia],
      .FinDia = toSingle(f[Field::FinDia], Field::FinDia),
      .RoughDepth = TextNumber(f[Field::RoughDepth], Field::RoughDepth),
      .FinishDepth = TextNumber(f[Field::FinishDepth], Field::FinishDepth),
  };
}

}  // namespace ventaro
