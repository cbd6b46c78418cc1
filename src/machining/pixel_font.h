// A small bitmap font (5 by 7 dots) for the labels of the pictures the
// Qt-free library draws: capital letters, digits and a few signs; small
// letters are drawn as capitals, other characters as blanks.
#pragma once

#include <string_view>

#include "machining/rgb_image.h"

namespace ventaro {

// Each dot becomes `scale` by `scale` pixels; a character takes 6 dots
// across (one of space) and 7 down.
void drawText(RgbImage& image, int x, int y, std::string_view text, int scale, Rgb colour);
int textWidth(std::string_view text, int scale);
inline int textHeight(int scale) { return 7 * scale; }

}  // namespace ventaro
