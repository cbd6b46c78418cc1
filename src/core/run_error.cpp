#include "core/run_error.h"

#include <array>

namespace ventaro {

namespace {

struct FieldInfo {
  std::string_view label;
  std::string_view option;
};

constexpr std::array<FieldInfo, kFieldCount> kFields{{
    {"Tip Speed Ratio", "--tsr"},
    {"Diameter / meter", "--diameter"},
    {"Hub Radius / meter", "--hub-radius"},
    {"Number of blades", "--blades"},
    {"Angle attack / \u00b0", "--attack"},
    {"Lift coefficient", "--lift"},
    {"Max. Chord  /meter", "--max-chord"},
    {"Stations (Finish)", "--stations-finish"},
    {"Stations (Rough)", "--stations-rough"},
    {"Roughing Passes", "--passes"},
    {"Roughing Depth / pass", "--rough-depth"},
    {"Finish pass depth", "--finish-depth"},
    {"Finish Feedrate", "--finish-feed"},
    {"Rough Feedrate", "--rough-feed"},
    {"Roughing Tool: Diameter / mm", "--rough-dia"},
    {"Roughing Tool: Stepover / %:", "--rough-step"},
    {"Finishing Tool: Diameter / mm", "--fin-dia"},
    {"Finishing Tool: Stepover / %:", "--fin-step"},
}};

// Marks where the option goes in a detail text; never typed by a user since
// it is a control character.
constexpr char kOptionMark = '\x01';

}  // namespace

std::string_view kindName(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::TypeMismatch:
      return "Type mismatch";
    case ErrorKind::Overflow:
      return "Overflow";
    case ErrorKind::DivisionByZero:
      return "Division by zero";
    case ErrorKind::FloatingPoint:
      return "Floating-point error";
    case ErrorKind::SubscriptOutOfRange:
      return "Subscript out of range";
  }
  return "Error";
}

std::string_view fieldLabel(Field field) { return kFields[static_cast<std::size_t>(field)].label; }

std::string_view fieldOption(Field field) { return kFields[static_cast<std::size_t>(field)].option; }

std::string quoted(Field field) {
  std::string text = "\u201c";
  text += fieldLabel(field);
  text += "\u201d";
  text += kOptionMark;
  text += static_cast<char>('A' + static_cast<int>(field));
  return text;
}

namespace {

std::string buildReport(ErrorKind kind, const std::string& detail, bool withOption) {
  std::string text(kindName(kind));
  text += ": ";
  for (std::size_t i = 0; i < detail.size(); ++i) {
    if (detail[i] != kOptionMark) {
      text += detail[i];
      continue;
    }
    // The byte after the mark names the quoted field.
    if (++i < detail.size() && withOption) {
      const int index = detail[i] - 'A';
      if (index >= 0 && index < kFieldCount) {
        text += " (";
        text += fieldOption(static_cast<Field>(index));
        text += ')';
      }
    }
  }
  text += '.';
  return text;
}

}  // namespace

RunError::RunError(ErrorKind kind, std::optional<Field> field, std::string detail)
    : std::runtime_error(buildReport(kind, detail, false)), kind_(kind), field_(field), detail_(std::move(detail)) {}

std::string RunError::report(bool withOption) const { return buildReport(kind_, detail_, withOption); }

void raise(ErrorKind kind, std::optional<Field> field, std::string detail) {
  throw RunError(kind, field, std::move(detail));
}

}  // namespace ventaro

#include "core/checked.h"

namespace ventaro {

void raiseStep(ErrorKind kind, const Step& step) {
  std::string detail = "computing ";
  detail += step.what;
  if (step.station >= 0) {
    detail += " of ";
    detail += step.sweep ? step.sweep : "";
    detail += step.sweep ? " station " : "station ";
    detail += std::to_string(step.station);
  }
  if (step.field) {
    detail += " (";
    detail += quoted(*step.field);
    detail += ')';
  }
  raise(kind, step.field, std::move(detail));
}

}  // namespace ventaro
