// The preview picture of one program, drawn as SVG text without any toolkit:
// the planform (chord and twist along the span, with the stock width), the
// top view of the finishing toolpath over the block, and a side view of the
// roughing passes (rapid moves dashed) over the finished surface. The PNG
// picture and the window show this same drawing.
//
// The curves are written in the drawing's own units inside a group that maps
// them onto the page: the chord polyline holds radius and chord in
// millimetres, the twist polyline radius and degrees, the toolpaths the
// coordinates of the program's move lines.
#pragma once

#include <string>

#include "picture/preview_input.h"

namespace ventaro {

inline constexpr int kPreviewWidth = 1200;  // pixels
inline constexpr int kPreviewHeight = 1560;

// The font families the picture's text asks for, in order of preference.
inline constexpr const char* kPreviewFonts = "DejaVu Sans, Liberation Sans, sans-serif";

// The whole SVG file (UTF-8, lines ending in "\n").
std::string previewSvg(const PreviewInput& input);

}  // namespace ventaro
