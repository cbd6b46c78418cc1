#include "picture/section_templates.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "picture/svg_text.h"

namespace ventaro {

namespace {

// Each page prints a window of the layout: 190 by 250 mm, 10 mm from the
// paper's left and top edges; the band below holds the bar and the label.
constexpr double kMargin = 10, kWindowWidth = kPageWidth - 2 * kMargin, kWindowHeight = 250;
constexpr double kGap = 25;  // between templates, for their labels

std::string n(double v) { return svgNumber(v, 3); }

std::string points(const std::vector<std::pair<double, double>>& pts, double dx, double dy) {
  std::string out;
  for (const auto& [x, y] : pts) out += (out.empty() ? "" : " ") + n(x + dx) + "," + n(dy - y);
  return out;
}

}  // namespace

std::vector<std::string> sectionTemplatePages(const std::vector<TemplateSection>& sections) {
  // The layout: templates one below the other, the chord line at y, the
  // leading edge at x = 10.
  std::string drawing;
  double y = 0, width = 0;
  int index = 0;
  for (const TemplateSection& s : sections) {
    double top = 0, bottom = 0;
    for (const auto& [px, py] : s.upper) top = std::max(top, py);
    for (const auto& [px, py] : s.lower) bottom = std::min(bottom, py);
    const double chordY = y + kGap + top, left = 10;
    drawing +=
        "<text x=\"" + n(left) + "\" y=\"" + n(y + 8) + "\" font-size=\"5\">" + xmlEscaped(s.label) + "</text>\n";
    std::vector<std::pair<double, double>> outline = s.upper;
    outline.insert(outline.end(), s.lower.rbegin(), s.lower.rend());
    drawing += "<polygon points=\"" + points(outline, left, chordY) +
               "\" fill=\"none\" stroke=\"#000000\" stroke-width=\"0.35\"/>\n";
    drawing += "<line id=\"chord-" + std::to_string(index) + "\" x1=\"" + n(left) + "\" y1=\"" + n(chordY) +
               "\" x2=\"" + n(left + s.chord) + "\" y2=\"" + n(chordY) +
               "\" stroke=\"#1e5aa0\" stroke-width=\"0.25\" stroke-dasharray=\"3,1.5\"/>\n";
    // Edge marks across the chord line, and their names.
    for (const auto& [x, name] : {std::pair{left, "LE"}, std::pair{left + s.chord, "TE"}}) {
      drawing += "<line x1=\"" + n(x) + "\" y1=\"" + n(chordY - 6) + "\" x2=\"" + n(x) + "\" y2=\"" + n(chordY + 6) +
                 "\" stroke=\"#c83c28\" stroke-width=\"0.35\"/>\n";
      drawing += "<text x=\"" + n(x) + "\" y=\"" + n(chordY + 11) + "\" font-size=\"4\" text-anchor=\"middle\">" +
                 name + "</text>\n";
    }
    width = std::max(width, left + s.chord + 10);
    y = chordY - bottom + 12;
    ++index;
  }
  const double height = std::max(y, 1.0);
  const int columns = std::max(1, static_cast<int>(std::ceil(width / kWindowWidth)));
  const int rows = std::max(1, static_cast<int>(std::ceil(height / kWindowHeight)));
  std::vector<std::string> pages;
  for (int row = 0; row < rows; ++row) {
    for (int column = 0; column < columns; ++column) {
      const double x0 = column * kWindowWidth, y0 = row * kWindowHeight;
      std::string page =
          "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
          "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"210mm\" height=\"297mm\" viewBox=\"0 0 210 297\">\n"
          "<title>Ventaro section templates, page " +
          std::to_string(row * columns + column + 1) + " of " + std::to_string(rows * columns) + "</title>\n";
      page += "<g font-family=\"DejaVu Sans, Liberation Sans, sans-serif\">\n";
      page += "<g transform=\"translate(" + n(kMargin - x0) + "," + n(kMargin - y0) + ")\">\n" + drawing + "</g>\n";
      // The paper outside the window is covered: what lies there belongs
      // to the neighbouring pages (a clip path would do, but not every
      // renderer that prints SVG honours one).
      for (const auto& [x, y, w, h] :
           {std::array{0.0, 0.0, kPageWidth, kMargin},
            std::array{0.0, kMargin + kWindowHeight, kPageWidth, kPageHeight - kMargin - kWindowHeight},
            std::array{0.0, 0.0, kMargin, kPageHeight},
            std::array{kMargin + kWindowWidth, 0.0, kMargin, kPageHeight}}) {
        page += "<rect x=\"" + n(x) + "\" y=\"" + n(y) + "\" width=\"" + n(w) + "\" height=\"" + n(h) +
                "\" fill=\"#ffffff\"/>\n";
      }
      // Where the neighbouring pages join: cut or overlap along this frame.
      page += "<rect x=\"" + n(kMargin) + "\" y=\"" + n(kMargin) + "\" width=\"" + n(kWindowWidth) + "\" height=\"" +
              n(kWindowHeight) +
              "\" fill=\"none\" stroke=\"#999999\" stroke-width=\"0.2\" stroke-dasharray=\"2,2\"/>\n";
      const double barY = kMargin + kWindowHeight + 12;
      page += "<line id=\"calibration\" x1=\"" + n(kMargin) + "\" y1=\"" + n(barY) + "\" x2=\"" +
              n(kMargin + kCalibration) + "\" y2=\"" + n(barY) + "\" stroke=\"#000000\" stroke-width=\"0.6\"/>\n";
      for (double tick = 0; tick <= kCalibration; tick += 10) {
        page += "<line x1=\"" + n(kMargin + tick) + "\" y1=\"" +
                n(barY - (tick == 0 || tick == kCalibration ? 3 : 1.5)) + "\" x2=\"" + n(kMargin + tick) + "\" y2=\"" +
                n(barY) + "\" stroke=\"#000000\" stroke-width=\"0.3\"/>\n";
      }
      page += "<text x=\"" + n(kMargin) + "\" y=\"" + n(barY + 6) +
              "\" font-size=\"4\">100 mm: print at 100 % (no fitting to the page) and measure this bar</text>\n";
      page += "<text x=\"" + n(kMargin + kWindowWidth) + "\" y=\"" + n(barY) +
              "\" font-size=\"4\" text-anchor=\"end\">row " + std::to_string(row + 1) + " of " + std::to_string(rows) +
              ", column " + std::to_string(column + 1) + " of " + std::to_string(columns) + "</text>\n";
      page += "</g>\n</svg>\n";
      pages.push_back(std::move(page));
    }
  }
  return pages;
}

}  // namespace ventaro
