// The PNG file of a picture, written without a window toolkit: 8-bit RGB,
// no interlace, the rows deflated by zlib.
#pragma once

#include <string>

#include "machining/rgb_image.h"

namespace ventaro {

// The file's bytes. Raises std::runtime_error if zlib fails.
std::string pngBytes(const RgbImage& image);

}  // namespace ventaro
