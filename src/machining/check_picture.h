// The check's picture: the block after the whole program, seen from above
// (hub on the left, tip on the right, Y up), with gouges (cut below the
// target by more than the tolerance) in reds and material left above the
// target in blues, each in four depth bands, and the rest grey, shaded to
// show the form. A title, the block's edges in millimetres, a scale bar and
// a legend make it readable on its own.
#pragma once

#include <string>
#include <string_view>

#include "machining/material_check.h"
#include "machining/rgb_image.h"

namespace ventaro {

// Millimetres of block per pixel: whole cells, the map at most 1000 pixels
// wide.
double checkPictureScale(const HeightMap& map);

RgbImage checkPicture(const CheckResult& result, std::string_view title);

// The picture as a PNG file.
std::string checkPicturePng(const CheckResult& result, std::string_view title);

// The colours, for the legend and for tests: band 0 to 3 of a gouge or of
// material left (beyond the tolerance, 0.1, 1 and 5 mm: a ball-nose
// finish leaves scallops of a few millimetres).
Rgb gougeColour(int band);
Rgb leftColour(int band);

}  // namespace ventaro
