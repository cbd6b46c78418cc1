// The job fields of the window: one table that holds, for each field, the
// name of its member and of its control, the label beside it, its initial
// text and its unit. The window builds its labels from it, the help text
// lists it, and error texts and the report name fields by it.
#pragma once

#include <string>
#include <string_view>

namespace ventaro {

// The eighteen job fields, in the order of the window's rows.
enum class Field {
  TSR,
  D,
  HubRad,
  B,
  AT,
  Cl,
  Max,
  STNfinish,
  STNrough,
  RoughPassesNo,
  RoughDepth,
  FinishDepth,
  FinishFeed,
  RoughFeed,
  RoughDia,
  RoughStep,
  FinDia,
  FinStep,
};
inline constexpr int kFieldCount = 18;

struct FieldInfo {
  std::string_view name;         // the member of the job record: "HubRad"
  std::string_view control;      // the window's control: "txtHubRad"
  std::string_view heading;      // the tool column's heading above it, or empty
  std::string_view label;        // beside the field: "Hub Radius / meter"
  std::string_view defaultText;  // the text the field opens with: "0.2"
  std::string_view unit;         // "m", "mm per pass", "% of diameter"
};

const FieldInfo& fieldInfo(Field field);

// The field as texts name it: its label, preceded by its heading where it
// has one, since the two tool columns share their labels
// ("Roughing Tool: Diameter / mm").
std::string fieldLabel(Field field);

// The same in quotation marks, as the window names a field in its messages:
// “Hub Radius / meter”.
std::string quotedLabel(Field field);

}  // namespace ventaro
