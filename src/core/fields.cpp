#include "core/fields.h"

#include <array>

namespace ventaro {

namespace {

// Indexed by Field.
constexpr std::array<FieldInfo, kFieldCount> kFields{{
    {"TSR", "txtTSR", "", "Tip Speed Ratio", "6", "no unit"},
    {"D", "txtD", "", "Diameter / meter", "3.36", "m"},
    {"HubRad", "txtHubRad", "", "Hub Radius / meter", "0.2", "m"},
    {"B", "txtB", "", "Number of blades", "3", "count"},
    {"AT", "txtAT", "", "Angle attack / \u00b0", "5", "degrees"},
    {"Cl", "txtCl", "", "Lift coefficient", "0.8", "no unit"},
    // Two blanks before the slash, as the window has always shown it.
    {"Max", "txtMax", "", "Max. Chord  /meter", "0.3", "m"},
    // The two station counts open with what the station-count rule gives
    // for the initial rotor and tools.
    {"STNfinish", "txtSTNfinish", "", "Stations (Finish)", "100", "steps over the rotor radius"},
    {"STNrough", "txtSTNrough", "", "Stations (Rough)", "50", "steps over the rotor radius"},
    {"RoughPassesNo", "txtRoughPassesNo", "", "Roughing Passes", "3", "count, 0 to 5"},
    {"RoughDepth", "txtRoughDepth", "", "Roughing Depth / pass", "5", "mm per pass"},
    {"FinishDepth", "txtFinishDepth", "", "Finish pass depth", "2", "mm"},
    {"FinishFeed", "txtFinishFeed", "", "Finish Feedrate", "600", "controller's feed unit"},
    {"RoughFeed", "txtRoughFeed", "", "Rough Feedrate", "1200", "controller's feed unit"},
    {"RoughDia", "txtRoughDia", "Roughing Tool:", "Diameter / mm", "37", "mm"},
    {"RoughStep", "txtRoughStep", "Roughing Tool:", "Stepover / %:", "80", "% of diameter"},
    {"FinDia", "TxtFinDia", "Finishing Tool:", "Diameter / mm", "20", "mm"},
    {"FinStep", "txtFinStep", "Finishing Tool:", "Stepover / %:", "74", "% of diameter"},
}};

}  // namespace

const FieldInfo& fieldInfo(Field field) { return kFields[static_cast<std::size_t>(field)]; }

std::string fieldLabel(Field field) {
  const FieldInfo& info = fieldInfo(field);
  std::string text;
  if (!info.heading.empty()) {
    text += info.heading;
    text += ' ';
  }
  text += info.label;
  return text;
}

std::string quotedLabel(Field field) { return "\u201c" + fieldLabel(field) + "\u201d"; }

}  // namespace ventaro
