#include "gcode/text_conventions.h"

namespace ventaro {

namespace {

constexpr std::size_t kCoordWidth = 6;

template <typename T>
void appendCut(std::string& out, T value) {
  appendNumberTextCut(out, value, kCoordWidth);
}

}  // namespace

void appendCoordText(std::string& out, float value) { appendCut(out, value); }
void appendCoordText(std::string& out, double value) { appendCut(out, value); }

std::string CoordText(float value) {
  std::string text;
  appendCut(text, value);
  return text;
}

std::string CoordText(double value) {
  std::string text;
  appendCut(text, value);
  return text;
}

}  // namespace ventaro
