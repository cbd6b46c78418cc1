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

enum class Anchor { Start, Middle, End };

// What a page shows, in millimetres from its top left corner (or from the
// layout's, for the templates themselves), in the order it is drawn.
struct Mark {
  enum Kind { Outline, Line, Text } kind = Line;
  std::vector<std::pair<double, double>> points;  // an outline's corners, a line's ends, a text's place
  std::string colour = "#000000";
  double width = 0;  // of the stroke
  std::string dash;  // "3,1.5"; "" solid
  std::string id;    // for a reader of the SVG
  double size = 0;   // of a text
  Anchor anchor = Anchor::Start;
  std::string text;  // UTF-8
};

Mark line(double x1, double y1, double x2, double y2, std::string colour, double width, std::string dash = {},
          std::string id = {}) {
  Mark m;
  m.points = {{x1, y1}, {x2, y2}};
  m.colour = std::move(colour);
  m.width = width;
  m.dash = std::move(dash);
  m.id = std::move(id);
  return m;
}

Mark text(double x, double y, double size, std::string words, Anchor anchor = Anchor::Start) {
  Mark m;
  m.kind = Mark::Text;
  m.points = {{x, y}};
  m.size = size;
  m.anchor = anchor;
  m.text = std::move(words);
  return m;
}

struct Layout {
  std::vector<Mark> marks;
  double width = 0, height = 0;
};

// The templates one below the other, each with its label above, its chord
// line level and its leading edge at x = 10.
Layout layOut(const std::vector<TemplateSection>& sections) {
  Layout out;
  double y = 0;
  int index = 0;
  for (const TemplateSection& s : sections) {
    double top = 0, bottom = 0;
    for (const auto& [px, py] : s.upper) top = std::max(top, py);
    for (const auto& [px, py] : s.lower) bottom = std::min(bottom, py);
    const double chordY = y + kGap + top, left = 10;
    out.marks.push_back(text(left, y + 8, 5, s.label));
    Mark outline;
    outline.kind = Mark::Outline;
    for (const auto& [px, py] : s.upper) outline.points.emplace_back(px + left, chordY - py);
    for (auto it = s.lower.rbegin(); it != s.lower.rend(); ++it)
      outline.points.emplace_back(it->first + left, chordY - it->second);
    outline.width = 0.35;
    out.marks.push_back(std::move(outline));
    out.marks.push_back(
        line(left, chordY, left + s.chord, chordY, "#1e5aa0", 0.25, "3,1.5", "chord-" + std::to_string(index)));
    // Edge marks across the chord line, and their names.
    for (const auto& [x, name] : {std::pair{left, "LE"}, std::pair{left + s.chord, "TE"}}) {
      out.marks.push_back(line(x, chordY - 6, x, chordY + 6, "#c83c28", 0.35));
      out.marks.push_back(text(x, chordY + 11, 4, name, Anchor::Middle));
    }
    out.width = std::max(out.width, left + s.chord + 10);
    y = chordY - bottom + 12;
    ++index;
  }
  out.height = std::max(y, 1.0);
  return out;
}

// The band below the window: the calibration bar and the page's place.
std::vector<Mark> pageMarks(int row, int rows, int column, int columns) {
  std::vector<Mark> out;
  const double barY = kMargin + kWindowHeight + 12;
  out.push_back(line(kMargin, barY, kMargin + kCalibration, barY, "#000000", 0.6, {}, "calibration"));
  for (double tick = 0; tick <= kCalibration; tick += 10) {
    out.push_back(line(kMargin + tick, barY - (tick == 0 || tick == kCalibration ? 3 : 1.5), kMargin + tick, barY,
                       "#000000", 0.3));
  }
  out.push_back(text(kMargin, barY + 6, 4, "100 mm: print at 100 % (no fitting to the page) and measure this bar"));
  out.push_back(text(kMargin + kWindowWidth, barY, 4,
                     "row " + std::to_string(row + 1) + " of " + std::to_string(rows) + ", column " +
                         std::to_string(column + 1) + " of " + std::to_string(columns),
                     Anchor::End));
  return out;
}

std::string svgMark(const Mark& m) {
  switch (m.kind) {
    case Mark::Outline: {
      std::string pts;
      for (const auto& [x, y] : m.points) pts += (pts.empty() ? "" : " ") + n(x) + "," + n(y);
      return "<polygon points=\"" + pts + "\" fill=\"none\" stroke=\"" + m.colour + "\" stroke-width=\"" + n(m.width) +
             "\"/>\n";
    }
    case Mark::Line:
      return "<line " + (m.id.empty() ? std::string() : "id=\"" + m.id + "\" ") + "x1=\"" + n(m.points[0].first) +
             "\" y1=\"" + n(m.points[0].second) + "\" x2=\"" + n(m.points[1].first) + "\" y2=\"" +
             n(m.points[1].second) + "\" stroke=\"" + m.colour + "\" stroke-width=\"" + n(m.width) + "\"" +
             (m.dash.empty() ? std::string() : " stroke-dasharray=\"" + m.dash + "\"") + "/>\n";
    case Mark::Text:
      return "<text x=\"" + n(m.points[0].first) + "\" y=\"" + n(m.points[0].second) + "\" font-size=\"" + n(m.size) +
             "\"" +
             (m.anchor == Anchor::Middle ? " text-anchor=\"middle\""
              : m.anchor == Anchor::End  ? " text-anchor=\"end\""
                                         : "") +
             ">" + xmlEscaped(m.text) + "</text>\n";
  }
  return {};
}

struct Tiling {
  int rows = 1, columns = 1;
};

Tiling tilingOf(const Layout& layout) {
  return {std::max(1, static_cast<int>(std::ceil(layout.height / kWindowHeight))),
          std::max(1, static_cast<int>(std::ceil(layout.width / kWindowWidth)))};
}

}  // namespace

std::vector<std::string> sectionTemplatePages(const std::vector<TemplateSection>& sections) {
  const Layout layout = layOut(sections);
  std::string drawing;
  for (const Mark& m : layout.marks) drawing += svgMark(m);
  const auto [rows, columns] = tilingOf(layout);
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
      for (const Mark& m : pageMarks(row, rows, column, columns)) page += svgMark(m);
      page += "</g>\n</svg>\n";
      pages.push_back(std::move(page));
    }
  }
  return pages;
}

namespace {

// PDF: the page is A4 in points; the drawing is given in millimetres with
// Y down, as in the SVG, by the page's first transformation.
constexpr double kPointsPerMm = 72 / 25.4;

std::string pdfNumber(double v) { return svgNumber(v, 3); }

std::string pdfColour(const std::string& hex) {
  std::string out;
  for (int k = 0; k < 3; ++k) {
    out += pdfNumber(std::stoi(hex.substr(1 + 2 * static_cast<std::size_t>(k), 2), nullptr, 16) / 255.0) + " ";
  }
  return out;
}

// The text in the standard Helvetica's WinAnsi encoding, as a PDF string:
// Latin-1 letters kept (the degree sign among them), others as "?".
std::string pdfString(const std::string& utf8) {
  std::string out = "(";
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    unsigned code = c;
    if (c >= 0x80) {
      std::size_t extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
      code = c == 0xC2 || c == 0xC3 ? ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu) : '?';
      i += std::min(extra, utf8.size() - 1 - i);
    }
    if (code == '(' || code == ')' || code == '\\') out += '\\';
    if (code < 0x20) code = '?';
    if (code >= 0x80) {
      const char octal[5] = {'\\', static_cast<char>('0' + ((code >> 6) & 7)),
                             static_cast<char>('0' + ((code >> 3) & 7)), static_cast<char>('0' + (code & 7)), 0};
      out += octal;
    } else {
      out += static_cast<char>(code);
    }
  }
  return out + ")";
}

// Helvetica's advance widths (per 1000 of the size), printable ASCII; the
// degree sign 400. Enough to centre and right-align a label.
double helveticaWidth(const std::string& utf8, double size) {
  static constexpr std::array<int, 95> kWidths{
      278, 278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333,  278, 278, 556, 556, 556,
      556, 556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556, 1015, 667, 667, 722, 722, 667,
      611, 778, 722, 278, 500, 667, 556, 833, 722, 778, 667, 778, 722, 667,  611, 722, 667, 944, 667,
      667, 611, 278, 278, 278, 469, 556, 333, 556, 556, 500, 556, 556, 278,  556, 556, 222, 222, 500,
      222, 833, 556, 556, 556, 556, 333, 500, 278, 556, 500, 722, 500, 500,  500, 334, 260, 334, 584};
  double units = 0;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c >= 0x20 && c < 0x7F) {
      units += kWidths[c - 0x20];
    } else if (c >= 0xC0 || c < 0x80) {
      units += 400;  // the start of any other letter
    }
  }
  return units * size / 1000;
}

std::string pdfMark(const Mark& m) {
  switch (m.kind) {
    case Mark::Outline:
    case Mark::Line: {
      std::string out = pdfColour(m.colour) + "RG " + pdfNumber(m.width) + " w " +
                        (m.dash.empty() ? std::string("[] 0 d")
                                        : "[" + m.dash.substr(0, m.dash.find(',')) + " " +
                                              m.dash.substr(m.dash.find(',') + 1) + "] 0 d") +
                        "\n";
      for (std::size_t k = 0; k < m.points.size(); ++k) {
        out += pdfNumber(m.points[k].first) + " " + pdfNumber(m.points[k].second) + (k == 0 ? " m\n" : " l\n");
      }
      return out + (m.kind == Mark::Outline ? "s\n" : "S\n");
    }
    case Mark::Text: {
      const double width = helveticaWidth(m.text, m.size);
      const double x = m.points[0].first - (m.anchor == Anchor::Middle ? width / 2
                                            : m.anchor == Anchor::End  ? width
                                                                       : 0);
      // Upright again within the page's flipped Y.
      return "BT /F1 " + pdfNumber(m.size) + " Tf 1 0 0 -1 " + pdfNumber(x) + " " + pdfNumber(m.points[0].second) +
             " Tm " + pdfString(m.text) + " Tj ET\n";
    }
  }
  return {};
}

}  // namespace

std::string sectionTemplatePdf(const std::vector<TemplateSection>& sections) {
  const Layout layout = layOut(sections);
  const auto [rows, columns] = tilingOf(layout);
  const int pages = rows * columns;
  // Objects: 1 catalog, 2 page tree, 3 font, then a page and its content
  // for each page.
  std::vector<std::string> objects;
  objects.push_back("<< /Type /Catalog /Pages 2 0 R >>");
  std::string kids;
  for (int p = 0; p < pages; ++p) kids += (p == 0 ? "" : " ") + std::to_string(4 + 2 * p) + " 0 R";
  objects.push_back("<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages) + " >>");
  objects.push_back("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>");
  for (int row = 0; row < rows; ++row) {
    for (int column = 0; column < columns; ++column) {
      const int p = row * columns + column;
      std::string content = svgNumber(kPointsPerMm, 6) + " 0 0 " + svgNumber(-kPointsPerMm, 6) + " 0 " +
                            pdfNumber(kPageHeight * kPointsPerMm) + " cm\n1 J 1 j 0 g\n";
      // The window of the layout this page shows, clipped to its frame.
      content += "q " + pdfNumber(kMargin) + " " + pdfNumber(kMargin) + " " + pdfNumber(kWindowWidth) + " " +
                 pdfNumber(kWindowHeight) + " re W n\n1 0 0 1 " + pdfNumber(kMargin - column * kWindowWidth) + " " +
                 pdfNumber(kMargin - row * kWindowHeight) + " cm\n";
      for (const Mark& m : layout.marks) content += pdfMark(m);
      content += "Q\n";
      content += "0.6 0.6 0.6 RG 0.2 w [2 2] 0 d " + pdfNumber(kMargin) + " " + pdfNumber(kMargin) + " " +
                 pdfNumber(kWindowWidth) + " " + pdfNumber(kWindowHeight) + " re S\n";
      for (const Mark& m : pageMarks(row, rows, column, columns)) content += pdfMark(m);
      objects.push_back("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + pdfNumber(kPageWidth * kPointsPerMm) + " " +
                        pdfNumber(kPageHeight * kPointsPerMm) + "] /Resources << /Font << /F1 3 0 R >> >> /Contents " +
                        std::to_string(5 + 2 * p) + " 0 R >>");
      objects.push_back("<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "endstream");
    }
  }
  std::string out = "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n";
  std::vector<std::size_t> offsets;
  for (std::size_t k = 0; k < objects.size(); ++k) {
    offsets.push_back(out.size());
    out += std::to_string(k + 1) + " 0 obj\n" + objects[k] + "\nendobj\n";
  }
  const std::size_t xref = out.size();
  out += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
  for (std::size_t offset : offsets) {
    const std::string digits = std::to_string(offset);
    out += std::string(10 - digits.size(), '0') + digits + " 00000 n \n";
  }
  out += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
         std::to_string(xref) + "\n%%EOF\n";
  return out;
}

}  // namespace ventaro
