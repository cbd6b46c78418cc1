// Airfoils: the section's shape in its own frame, in percent of the chord
// along and above the chord line, upper and lower surface each from the
// leading edge (x 0) to the trailing edge (x 100). NACA four-digit sections
// come from their formula; others from coordinate files in the two formats
// airfoil catalogues use (Selig: one loop from the trailing edge over the
// upper surface and back under the lower; Lednicer: a line of point counts,
// then each surface from the leading edge).
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ventaro {

class AirfoilError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Airfoil {
  std::string name;
  std::vector<std::pair<double, double>> upper, lower;  // percent of chord, leading edge first

  // The surface's height at x (percent of chord), straight between points.
  static double heightAt(const std::vector<std::pair<double, double>>& surface, double x);
};

// "2412": maximum camber 2 %, at 40 % of the chord, 12 % thick; the
// trailing edge open as the formula gives it. Raises AirfoilError.
Airfoil nacaFourDigit(std::string_view digits);

// A coordinate file; raises AirfoilError naming `name`.
Airfoil readAirfoilDat(std::string_view text, std::string_view name);

}  // namespace ventaro
