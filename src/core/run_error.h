// The one error type of a computation: what went wrong (its kind) and, where
// one field's text caused it, which field. Thrown by the core, caught once by
// each front end.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace ventaro {

enum class ErrorKind {
  TypeMismatch,
  Overflow,
  DivisionByZero,
  FloatingPoint,
  SubscriptOutOfRange,
};

// The eighteen job fields of the window, in the order of the window's rows.
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

// "Type mismatch", "Overflow", ...
std::string_view kindName(ErrorKind kind);

// The label the user reads beside the field. The two tool columns share
// their labels, so those carry their heading ("Roughing Tool: Diameter / mm").
std::string_view fieldLabel(Field field);

// The command-line option that sets the field ("--hub-radius").
std::string_view fieldOption(Field field);

class RunError : public std::runtime_error {
 public:
  // `detail` is the sentence after the kind, without the final full stop;
  // it names the field's label where a field is known.
  RunError(ErrorKind kind, std::optional<Field> field, std::string detail);

  ErrorKind kind() const { return kind_; }
  const std::optional<Field>& field() const { return field_; }
  const std::string& detail() const { return detail_; }

  // "Type mismatch: “Hub Radius / meter” is not a number." With
  // withOption the field's command-line option follows its label:
  // "… “Hub Radius / meter” (--hub-radius) is not a number."
  std::string report(bool withOption = false) const;

 private:
  ErrorKind kind_;
  std::optional<Field> field_;
  std::string detail_;
};

// Quotes a field's label as it stands in error texts: “label”.
std::string quoted(Field field);

[[noreturn]] void raise(ErrorKind kind, std::optional<Field> field, std::string detail);

}  // namespace ventaro
