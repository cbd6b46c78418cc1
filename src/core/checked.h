// Checked arithmetic. Every step of a computation is one operation, rounded
// on its own, and is tested right after it for an invalid operation, a
// division by zero or an overflow. Underflow and inexact results are fine.
//
// Two families of steps report differently. Steps on values read from field
// texts name what went wrong: an overflow, or a division by zero when the
// divisor was zero. Steps that work directly on the run's own single and
// double numbers (stock allowance, doubling the hub radius, the station X,
// the placed Y and Z, the roughing and rapid Z) report a floating-point
// error, whatever the cause. Inputs are always finite (conversion and
// earlier checks see to it), so testing the result is enough: no
// floating-point traps, no flags.
#pragma once

#include <cmath>
#include <optional>
#include <string>

#include "core/run_error.h"

namespace ventaro {

// Says what was being computed, for the error text; built only on failure.
struct Step {
  const char* what;             // e.g. "the chord"
  std::optional<Field> field;   // the field most directly involved, if any
  int station = -1;             // station index, or -1
  const char* sweep = nullptr;  // "roughing" / "finishing"
};

[[noreturn]] void raiseStep(ErrorKind kind, const Step& step);

enum class Family { FieldText, Native };

namespace detail {

inline double check(double result, Family family, const Step& step, bool zeroDivisor = false) {
  if (std::isfinite(result)) return result;
  if (family == Family::Native) raiseStep(ErrorKind::FloatingPoint, step);
  raiseStep(zeroDivisor ? ErrorKind::DivisionByZero : ErrorKind::Overflow, step);
}

}  // namespace detail

// Field-text steps.
inline double add(double a, double b, const Step& s) { return detail::check(a + b, Family::FieldText, s); }
inline double sub(double a, double b, const Step& s) { return detail::check(a - b, Family::FieldText, s); }
inline double mul(double a, double b, const Step& s) { return detail::check(a * b, Family::FieldText, s); }
inline double div(double a, double b, const Step& s) { return detail::check(a / b, Family::FieldText, s, b == 0.0); }
inline double pow2(double a, const Step& s) { return detail::check(std::pow(a, 2.0), Family::FieldText, s); }

// Native steps.
inline double addN(double a, double b, const Step& s) { return detail::check(a + b, Family::Native, s); }
inline double subN(double a, double b, const Step& s) { return detail::check(a - b, Family::Native, s); }
inline double mulN(double a, double b, const Step& s) { return detail::check(a * b, Family::Native, s); }

// Rounding a double to the nearest single, ties to even. The value is kept
// from then on; a magnitude beyond the single range overflows.
inline float toSingle(double value, const Step& s) {
  const float single = static_cast<float>(value);
  if (std::isinf(single)) raiseStep(ErrorKind::Overflow, s);
  return single;
}
// The same rounding as the last operation of a native step.
inline float toSingleN(double value, const Step& s) {
  const float single = static_cast<float>(value);
  if (std::isinf(single)) raiseStep(ErrorKind::FloatingPoint, s);
  return single;
}

}  // namespace ventaro
