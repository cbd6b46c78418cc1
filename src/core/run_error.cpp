#include "core/run_error.h"

#include "core/checked.h"

namespace ventaro {

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

namespace {

std::string buildReport(ErrorKind kind, const std::optional<Field>& field, const ErrorDetail& detail,
                        const FieldNamer& name) {
  std::string text(kindName(kind));
  text += ": ";
  text += detail.before;
  if (detail.namesField && field) text += name(*field);
  text += detail.after;
  text += '.';
  return text;
}

}  // namespace

RunError::RunError(ErrorKind kind, std::optional<Field> field, ErrorDetail detail)
    : std::runtime_error(buildReport(kind, field, detail, quotedLabel)),
      kind_(kind),
      field_(field),
      detail_(std::move(detail)) {}

RunError::RunError(ErrorKind kind, std::optional<Field> field, std::string text)
    : RunError(kind, field, ErrorDetail{.before = std::move(text), .namesField = false, .after = {}}) {}

std::string RunError::report() const { return what(); }

std::string RunError::report(const FieldNamer& name) const { return buildReport(kind_, field_, detail_, name); }

FieldTextError::FieldTextError(std::string before, Field field, std::string after)
    : std::runtime_error(before + quotedLabel(field) + after),
      before_(std::move(before)),
      field_(field),
      after_(std::move(after)) {}

std::string FieldTextError::text(const FieldNamer& name) const {
  return field_ ? before_ + name(*field_) + after_ : before_;
}

void raise(ErrorKind kind, std::optional<Field> field, std::string text) {
  throw RunError(kind, field, std::move(text));
}

void raise(ErrorKind kind, Field field, ErrorDetail detail) { throw RunError(kind, field, std::move(detail)); }

void raiseAbout(ErrorKind kind, Field field, std::string predicate) {
  raise(kind, field, ErrorDetail{.before = {}, .namesField = true, .after = " " + std::move(predicate)});
}

void raiseStep(ErrorKind kind, const Step& step) {
  std::string detail = "computing ";
  detail += step.what;
  if (step.station >= 0) {
    detail += " of ";
    detail += step.sweep ? step.sweep : "";
    detail += step.sweep ? " station " : "station ";
    detail += std::to_string(step.station);
  }
  if (!step.field) raise(kind, std::nullopt, std::move(detail));
  raise(kind, *step.field, ErrorDetail{.before = detail + " (", .namesField = true, .after = ")"});
}

}  // namespace ventaro
