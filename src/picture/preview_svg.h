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
#include <utility>
#include <vector>

#include "picture/preview_input.h"

namespace ventaro {

inline constexpr int kPreviewWidth = 1200;  // pixels
inline constexpr int kPreviewHeight = 1560;

// The font families the picture's text asks for, in order of preference.
inline constexpr const char* kPreviewFonts = "DejaVu Sans, Liberation Sans, sans-serif";

// The whole SVG file (UTF-8, lines ending in "\n").
std::string previewSvg(const PreviewInput& input);

// The rotor's performance as two plots on one page, drawn with the same
// frames as the preview: the power coefficient against the tip speed ratio
// (Betz's limit dashed, the design point marked) and the power against the
// wind speed at the design tip speed ratio.
struct PerformancePlot {
  std::vector<std::pair<double, double>> cp;     // tip speed ratio, Cp
  std::vector<std::pair<double, double>> power;  // wind m/s, power W
  double designTsr = 0, designCp = 0;
  std::string caption;  // what the curves were worked out with
};

inline constexpr int kPerformanceWidth = 1000;  // pixels
inline constexpr int kPerformanceHeight = 1100;

std::string performanceSvg(const PerformancePlot& plot);

}  // namespace ventaro
