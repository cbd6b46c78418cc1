#include "machine/fixed_text.h"

#include <array>
#include <charconv>
#include <cmath>

namespace ventaro {

std::string fixedText(double value, int decimals) {
  if (!std::isfinite(value)) return value != value ? "nan" : (value > 0 ? "inf" : "-inf");
  std::array<char, 400> buf{};
  const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::fixed, decimals);
  std::string text(buf.data(), res.ptr);
  // "-0.000" says nothing the reader needs; write it as zero.
  if (!text.empty() && text.front() == '-' && text.find_first_not_of("0.", 1) == std::string::npos) {
    text.erase(0, 1);
  }
  return text;
}

}  // namespace ventaro
