// The job parameters: the texts of the window's eighteen job fields, and the
// record one computation takes from them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/fields.h"
#include "core/run_error.h"

namespace ventaro {

// The texts of the job fields exactly as the user typed them, indexed by
// Field. Default-constructed, every field holds its initial text.
class JobFields {
 public:
  JobFields();

  const std::string& operator[](Field field) const { return texts_[static_cast<std::size_t>(field)]; }
  std::string& operator[](Field field) { return texts_[static_cast<std::size_t>(field)]; }

  static std::string_view defaultText(Field field);

  bool operator==(const JobFields& other) const = default;

 private:
  std::array<std::string, kFieldCount> texts_;
};

// A member held as text and converted to double at each use. The text does
// not change during a run, so the first conversion decides everything: it
// raises the error if the text is not a number, and later uses see the same
// value. Converting once and keeping the value is therefore the same as
// converting at every use, and the first use stays where the run puts it.
class TextNumber {
 public:
  TextNumber(std::string text, Field field) : text_(std::move(text)), field_(field) {}

  const std::string& text() const { return text_; }
  Field field() const { return field_; }
  double value() const;  // converts on first use

 private:
  std::string text_;
  Field field_;
  mutable std::optional<double> value_;
};

// The inputs of one computation. Members that the run converts at each use
// keep their text; HubRad, RoughPassesNo and FinDia are converted while the
// record is filled. RoughFeed and FinishFeed are fetched when their lines are
// written and RoughStep and FinStep are not used by a computation, so none of
// them is in the record.
struct BladeParameters {
  TextNumber TSR;
  TextNumber D;
  float HubRad;
  TextNumber B;
  TextNumber AT;
  TextNumber Cl;
  TextNumber STNfinish;
  TextNumber STNrough;
  std::int16_t RoughPassesNo;
  TextNumber Max;
  std::string RoughDia;
  float FinDia;
  TextNumber RoughDepth;
  TextNumber FinishDepth;
};

// Reads the fields in the window's order and converts HubRad, RoughPassesNo
// and FinDia as they are read; raises the first conversion's error. A rotor
// diameter, hub radius or station count below 0 is an overflow error, raised
// as its field is read.
BladeParameters readParameters(const JobFields& fields);

}  // namespace ventaro
