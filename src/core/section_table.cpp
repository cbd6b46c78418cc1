#include "core/section_table.h"

#include "core/run_error.h"

namespace ventaro {

namespace {

// Chordwise station and upper-surface ordinate, percent of chord. The
// trailing edge keeps its published ordinate of 0.13.
constexpr std::array<float, SectionTable::kUpper> kX{0.0f,  1.25f, 2.5f,  5.0f,  7.5f,  10.0f, 15.0f, 20.0f, 25.0f,
                                                     30.0f, 40.0f, 50.0f, 60.0f, 70.0f, 80.0f, 90.0f, 95.0f, 100.0f};
constexpr std::array<float, SectionTable::kUpper> kY{0.0f,  2.44f, 3.39f, 4.73f, 5.76f, 6.59f, 7.89f, 8.8f,  9.41f,
                                                     9.76f, 9.8f,  9.19f, 8.14f, 6.69f, 4.89f, 2.71f, 1.47f, 0.13f};

}  // namespace

void SectionTable::fill() {
  for (std::size_t i = 0; i < x_.size(); ++i) x_[i] = kX[i];
  for (std::size_t i = 0; i < y_.size(); ++i) y_[i] = kY[i];
}

std::size_t SectionTable::index(int i) {
  if (i < kLower || i > kUpper) {
    raise(ErrorKind::SubscriptOutOfRange, std::nullopt, "section point " + std::to_string(i) + " is not in the table");
  }
  return static_cast<std::size_t>(i - kLower);
}

}  // namespace ventaro
