// A raster picture as the bytes of a PNG file, encoded by libpng.
#pragma once

#include <string>

#include "picture/rgb_image.h"

namespace ventaro {

std::string encodePng(const RgbImage& image);

}  // namespace ventaro
