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

std::string stationCountText(const JobFields& fields, Tool tool) {
  const bool rough = tool == Tool::Roughing;
  return NumberText(stationCount(fields[Field::D], fields[Field::HubRad],
                                 fields[rough ? Field::RoughDia : Field::FinDia],
                                 fields[rough ? Field::RoughStep : Field::FinStep], tool));
}

}  // namespace ventaro
