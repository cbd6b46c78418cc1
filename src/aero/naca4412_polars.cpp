#include "aero/naca4412_polars.h"

#include <string_view>
#include <utility>

namespace ventaro {

const std::vector<std::pair<std::string_view, std::string_view>>& naca4412PolarTexts();

const std::vector<Polar>& naca4412Polars() {
  static const std::vector<Polar> polars = [] {
    std::vector<Polar> out;
    for (const auto& [name, text] : naca4412PolarTexts()) out.push_back(readXfoilPolar(text, name));
    return out;
  }();
  return polars;
}

}  // namespace ventaro
