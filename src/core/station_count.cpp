#include "core/station_count.h"

#include "core/checked.h"
#include "core/number_text.h"

namespace ventaro {

double stationCount(std::string_view d, std::string_view hubRad, std::string_view toolDia, std::string_view stepover,
                    Tool tool) {
  const Field diaField = tool == Tool::Roughing ? Field::RoughDia : Field::FinDia;
  const Field stepField = tool == Tool::Roughing ? Field::RoughStep : Field::FinStep;
  const char* what = tool == Tool::Roughing ? "the roughing station count" : "the finishing station count";

  double count = div(toDouble(d, Field::D), 2.0, Step{what, Field::D});
  count = sub(count, toDouble(hubRad, Field::HubRad), Step{what, Field::HubRad});
  count = mul(count, 100000.0, Step{what, std::nullopt});
  count = div(count, toDouble(toolDia, diaField), Step{what, diaField});
  count = div(count, toDouble(stepover, stepField), Step{what, stepField});
  return count;
}

std::array<Field, 4> countSources(Tool tool) {
  const bool rough = tool == Tool::Roughing;
  return {Field::D, Field::HubRad, rough ? Field::RoughDia : Field::FinDia, rough ? Field::RoughStep : Field::FinStep};
}

std::string stationCountText(const JobFields& fields, Tool tool) {
  const std::array<Field, 4> from = countSources(tool);
  return NumberText(stationCount(fields[from[0]], fields[from[1]], fields[from[2]], fields[from[3]], tool));
}

namespace {

// Called with a count below 0, so every source text is a number.
[[noreturn]] void refuseNegativeCount(const JobFields& fields, Tool tool) {
  const std::array<Field, 4> from = countSources(tool);
  const std::string count = tool == Tool::Roughing ? "the roughing station count" : "the finishing station count";
  const double d = toDouble(fields[Field::D], Field::D);
  if (d < 0.0) raiseAbout(ErrorKind::Overflow, Field::D, "is below 0, so " + count + " is below 0");
  if (d / 2.0 - toDouble(fields[Field::HubRad], Field::HubRad) < 0.0) {
    raiseAbout(ErrorKind::Overflow, Field::HubRad, "lies beyond the tip, so " + count + " is below 0");
  }
  const Field toolField = toDouble(fields[from[2]], from[2]) < 0.0 ? from[2] : from[3];
  raiseAbout(ErrorKind::Overflow, toolField, "is below 0, so " + count + " is below 0");
}

}  // namespace

std::string derivedStationCountText(const JobFields& fields, Tool tool) {
  const std::array<Field, 4> from = countSources(tool);
  const double count = stationCount(fields[from[0]], fields[from[1]], fields[from[2]], fields[from[3]], tool);
  if (count < 0.0) refuseNegativeCount(fields, tool);
  return NumberText(count);
}

}  // namespace ventaro
