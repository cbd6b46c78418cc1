#include "picture/rgb_image.h"

#include <cstddef>

namespace ventaro {

RgbImage::RgbImage(int width, int height, Rgb background)
    : width_(width), height_(height), bytes_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3) {
  fillRect(0, 0, width, height, background);
}

Rgb RgbImage::at(int x, int y) const {
  const std::size_t k =
      (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)) * 3;
  return Rgb{bytes_[k], bytes_[k + 1], bytes_[k + 2]};
}

void RgbImage::set(int x, int y, Rgb colour) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  const std::size_t k =
      (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)) * 3;
  bytes_[k] = colour.r;
  bytes_[k + 1] = colour.g;
  bytes_[k + 2] = colour.b;
}

void RgbImage::fillRect(int x, int y, int w, int h, Rgb colour) {
  for (int j = y; j < y + h; ++j) {
    for (int i = x; i < x + w; ++i) set(i, j, colour);
  }
}

void RgbImage::frameRect(int x, int y, int w, int h, Rgb colour) {
  fillRect(x, y, w, 1, colour);
  fillRect(x, y + h - 1, w, 1, colour);
  fillRect(x, y, 1, h, colour);
  fillRect(x + w - 1, y, 1, h, colour);
}

}  // namespace ventaro
