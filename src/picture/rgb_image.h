// A picture in memory, 8 bits per colour channel, rows from the top, for the
// pictures the Qt-free library writes itself.
#pragma once

#include <cstdint>
#include <vector>

namespace ventaro {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
};

class RgbImage {
 public:
  RgbImage(int width, int height, Rgb background);

  int width() const { return width_; }
  int height() const { return height_; }
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }  // r, g, b per pixel, row by row
  Rgb at(int x, int y) const;

  // Points outside the picture are left out.
  void set(int x, int y, Rgb colour);
  void fillRect(int x, int y, int w, int h, Rgb colour);
  void frameRect(int x, int y, int w, int h, Rgb colour);  // a one-pixel outline

 private:
  int width_, height_;
  std::vector<std::uint8_t> bytes_;
};

}  // namespace ventaro
