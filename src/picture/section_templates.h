// Section templates for carving a blade by hand or checking a milled one:
// each chosen section drawn full size in its own chord frame (chord line
// level, leading edge left) with its chord line, leading- and trailing-edge
// marks and its radius, chord and twist, laid out one below the other and
// tiled onto A4 pages for a home printer. Every page carries a 100 mm
// calibration bar and the page's place in the tiling, so that the pages can
// be checked for scale and taped together. The SVG's user unit is the
// millimetre; the PDF draws in millimetres too.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace ventaro {

struct TemplateSection {
  std::string label;                             // "r 770.0 mm, chord 235.20 mm, twist 8.06°"
  double chord = 0;                              // mm
  std::vector<std::pair<double, double>> upper;  // mm from the leading edge along and above the chord
  std::vector<std::pair<double, double>> lower;
};

inline constexpr double kPageWidth = 210, kPageHeight = 297;  // A4, mm
inline constexpr double kCalibration = 100;                   // mm

// The pages, row by row, each a whole SVG file of one A4 page.
std::vector<std::string> sectionTemplatePages(const std::vector<TemplateSection>& sections);

// The same pages as one PDF file, drawn in millimetres on A4 pages (the
// standard Helvetica for the labels).
std::string sectionTemplatePdf(const std::vector<TemplateSection>& sections);

}  // namespace ventaro
