#include "machine/machine_settings.h"

namespace ventaro {

bool operator==(const ShopSettings& a, const ShopSettings& b) {
  return a.roughShape == b.roughShape && a.finShape == b.finShape && a.roughRpm == b.roughRpm && a.finRpm == b.finRpm &&
         a.plungeFeed == b.plungeFeed && a.blockTop == b.blockTop && a.clearance == b.clearance &&
         a.tolerance == b.tolerance && a.scallop == b.scallop && a.roughFlutes == b.roughFlutes &&
         a.finFlutes == b.finFlutes && a.roughChipLoad == b.roughChipLoad && a.finChipLoad == b.finChipLoad &&
         a.roughReach == b.roughReach && a.finReach == b.finReach && a.zTravel == b.zTravel &&
         a.roughStickout == b.roughStickout && a.finStickout == b.finStickout && a.roughHolder == b.roughHolder &&
         a.finHolder == b.finHolder;
}

std::optional<DesignMethod> designMethodByName(std::string_view name) {
  if (name == "classic") return DesignMethod::Classic;
  if (name == "schmitz") return DesignMethod::Schmitz;
  return std::nullopt;
}

const char* designMethodName(DesignMethod method) { return method == DesignMethod::Schmitz ? "schmitz" : "classic"; }

bool operator==(const MachineSettings& a, const MachineSettings& b) {
  return a.controller == b.controller && a.job == b.job && a.shop == b.shop && a.performance == b.performance &&
         a.design == b.design;
}

}  // namespace ventaro
