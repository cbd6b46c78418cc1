// The check's picture: the block after the whole program, seen from above
// (hub on the left, tip on the right, Y up), with gouges (cut below the
// target by more than the tolerance) in reds and material left above the
// target in blues, each in four depth bands, and the rest grey, shaded to
// show the form. A title, the block's edges in millimetres, a scale bar and
// a legend make it readable on its own.
#pragma once

#include <string>
#include <string_view>

#include "check/material_check.h"
#include "picture/rgb_image.h"

namespace ventaro {

// Millimetres of block per pixel: whole cells, the map at most 1000 pixels
// wide.
double checkPictureScale(const HeightMap& map);

// The block from above, one pixel per square of whole cells, hub on the
// left and Y up.
RgbImage checkMap(const CheckResult& result);

// The picture as an SVG page: the title, the map as an embedded PNG image,
// the block's edges, a scale bar and the legend as text and shapes. Its PNG
// form is this page rasterised, as every picture is.
// The block's far end is labelled `farEnd` ("tip", or the plank's "end"
// where the plank reaches past the tip).
std::string checkPictureSvg(const CheckResult& result, std::string_view title, std::string_view farEnd = "tip");

// Two such pages one above the other as one page titled `title` (a
// two-sided job's sides); the second page's ids gain "-2".
std::string stackedPictureSvg(const std::string& first, const std::string& second, std::string_view title);

// The colours, for the legend and for tests: band 0 to 3 of a gouge or of
// material left (beyond the tolerance, 0.1, 1 and 5 mm: a ball-nose
// finish leaves scallops of a few millimetres).
Rgb gougeColour(int band);
Rgb leftColour(int band);

}  // namespace ventaro
