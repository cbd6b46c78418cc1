#include "core/job_parameters.h"

#include "core/number_text.h"

namespace ventaro {

namespace {

constexpr std::array<std::string_view, kFieldCount> kDefaults{
    "6",     // TSR
    "3.36",  // D
    "0.2",   // HubRad
    "3",     // B
    "5",     // AT
    "0.8",   // Cl
    "0.3",   // Max
    "100",   // STNfinish
    "50",    // STNrough
    "3",     // RoughPassesNo
    "5",     // RoughDepth
    "2",     // FinishDepth
    "600",   // FinishFeed
    "1200",  // RoughFeed
    "37",    // RoughDia
    "80",    // RoughStep
    "20",    // FinDia
    "74",    // FinStep
};

}  // namespace

JobFields::JobFields() {
  for (std::size_t i = 0; i < texts_.size(); ++i) texts_[i] = std::string(kDefaults[i]);
}

std::string_view JobFields::defaultText(Field field) { return kDefaults[static_cast<std::size_t>(field)]; }

double TextNumber::value() const {
  if (!value_) value_ = toDouble(text_, field_);
  return *value_;
}

BladeParameters readParameters(const JobFields& f) {
  // Designated initialisers run in member order, which is the reading order
  // of the fields, so the three conversions meet their errors in that order.
  return BladeParameters{
      .TSR = TextNumber(f[Field::TSR], Field::TSR),
      .D = TextNumber(f[Field::D], Field::D),
      .HubRad = toSingle(f[Field::HubRad], Field::HubRad),
      .B = TextNumber(f[Field::B], Field::B),
      .AT = TextNumber(f[Field::AT], Field::AT),
      .Cl = TextNumber(f[Field::Cl], Field::Cl),
      .STNfinish = TextNumber(f[Field::STNfinish], Field::STNfinish),
      .STNrough = TextNumber(f[Field::STNrough], Field::STNrough),
      .RoughPassesNo = toInt16(f[Field::RoughPassesNo], Field::RoughPassesNo),
      .Max = TextNumber(f[Field::Max], Field::Max),
      .RoughDia = f[Field::RoughDia],
      .FinDia = toSingle(f[Field::FinDia], Field::FinDia),
      .RoughDepth = TextNumber(f[Field::RoughDepth], Field::RoughDepth),
      .FinishDepth = TextNumber(f[Field::FinishDepth], Field::FinishDepth),
  };
}

}  // namespace ventaro
