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

// Station i of a sweep lies i / S of the rotor radius D / 2 beyond the hub
// radius. A rotor diameter, hub radius or station count below 0 would place
// stations outside the rotor, on the far side of the axis or beyond the tip
// on the way back, and the program would cut a blade that does not exist.
// Such a run stops while its record is filled, before any of the program is
// written.
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
      .STNfinish = notBelowZero(f[Field::STNfinish], Field::STNfinish),
      .STNrough = notBelowZero(f[Field::STNrough], Field::STNrough),
      .RoughPassesNo = toInt16(f[Field::RoughPassesNo], Field::RoughPassesNo),
      .Max = TextNumber(f[Field::Max], Field::Max),
      .RoughDia = f[Field::RoughDia],
      .FinDia = toSingle(f[Field::FinDia], Field::FinDia),
      .RoughDepth = TextNumber(f[Field::RoughDepth], Field::RoughDepth),
      .FinishDepth = TextNumber(f[Field::FinishDepth], Field::FinishDepth),
  };
}

}  // namespace ventaro
