// The one error type of a computation: what went wrong (its kind) and, where
// one field's text caused it, which field. Thrown by the core, caught once by
// each front end, which writes the field's name its own way: the window by
// the field's label, the command line by the label and its option.
#pragma once

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/fields.h"

namespace ventaro {

enum class ErrorKind {
  TypeMismatch,
  Overflow,
  DivisionByZero,
  FloatingPoint,
  SubscriptOutOfRange,
};

// "Type mismatch", "Overflow", ...
std::string_view kindName(ErrorKind kind);

// The sentence after the kind, without the final full stop. Where it names
// the error's field, the name stands between `before` and `after`, so that
// each client can write it its own way.
struct ErrorDetail {
  std::string before;
  bool namesField = false;
  std::string after;
};

// How a client names a field in an error text.
using FieldNamer = std::function<std::string(Field)>;

class RunError : public std::runtime_error {
 public:
  RunError(ErrorKind kind, std::optional<Field> field, ErrorDetail detail);
  // A detail that does not name the field.
  RunError(ErrorKind kind, std::optional<Field> field, std::string text);

  ErrorKind kind() const { return kind_; }
  const std::optional<Field>& field() const { return field_; }
  const ErrorDetail& detail() const { return detail_; }

  // "Type mismatch: “Hub Radius / meter” is not a number.", the field named
  // by quotedLabel; this is also what().
  std::string report() const;
  // The same with the field named by `name`.
  std::string report(const FieldNamer& name) const;

 private:
  ErrorKind kind_;
  std::optional<Field> field_;
  ErrorDetail detail_;
};

// An error outside the computation's kinds (a program a controller would not
// run, a shop job that cannot be planned) that may name the field to change:
// its name stands between `before` and `after`.
class FieldTextError : public std::runtime_error {
 public:
  explicit FieldTextError(const std::string& text) : std::runtime_error(text), before_(text) {}
  FieldTextError(std::string before, Field field, std::string after);

  // The text with the field (if any) named by `name`; what() names it by
  // its quoted label.
  std::string text(const FieldNamer& name) const;

 private:
  std::string before_;
  std::optional<Field> field_;
  std::string after_;
};

[[noreturn]] void raise(ErrorKind kind, std::optional<Field> field, std::string text);
[[noreturn]] void raise(ErrorKind kind, Field field, ErrorDetail detail);
// The field's name, then `predicate`: "“Roughing Passes” is outside ...".
[[noreturn]] void raiseAbout(ErrorKind kind, Field field, std::string predicate);

}  // namespace ventaro
