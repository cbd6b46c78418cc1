// The airfoil section: the upper surface of the NACA 4412 profile at the 18
// standard tabulated stations, in percent of chord, held in single precision.
#pragma once

#include <array>

namespace ventaro {

class SectionTable {
 public:
  static constexpr int kLower = 1;
  static constexpr int kUpper = 18;

  // Fills both tables, all of ProfileX first, then all of ProfileY.
  void fill();

  int lower() const { return kLower; }
  int upper() const { return kUpper; }
  float ProfileX(int i) const { return x_[index(i)]; }
  float ProfileY(int i) const { return y_[index(i)]; }

 private:
  static std::size_t index(int i);  // raises subscript out of range outside 1..18
  std::array<float, kUpper> x_{};
  std::array<float, kUpper> y_{};
};

}  // namespace ventaro
