// An SVG page written as text, element by element: lines, rectangles,
// polylines and polygons, texts, and groups that map a drawing's own units
// onto the page. Strokes keep their width on the page however a group
// scales its content (vector-effect="non-scaling-stroke").
#pragma once

#include <string>
#include <string_view>

namespace ventaro {

struct SvgPoint {
  double x, y;
};

struct SvgStroke {
  std::string_view colour;  // "#rrggbb"
  double width;             // page pixels
  bool dashed = false;
};

struct SvgFill {
  std::string_view colour;  // "none" for no fill
  double opacity = 1;
};

enum class SvgAnchor { Start, Middle, End };

struct SvgFont {
  int size;  // page pixels
  std::string_view colour;
  SvgAnchor anchor = SvgAnchor::Start;
  bool bold = false;
};

class SvgCanvas {
 public:
  // Starts the page: its size in pixels, a white background, and a group
  // that gives every text the font families `fonts`.
  SvgCanvas(int width, int height, std::string_view title, std::string_view fonts);

  void line(SvgPoint a, SvgPoint b, const SvgStroke& stroke);
  void rect(SvgPoint topLeft, SvgPoint bottomRight, const SvgStroke& stroke, const SvgFill& fill);
  // `points`: "x,y x,y ..." in the units of the enclosing group; no
  // element for no points.
  void polyline(std::string_view id, std::string_view points, const SvgStroke& stroke);
  void polygon(std::string_view id, std::string_view points, const SvgStroke& stroke, const SvgFill& fill);
  // A raster picture (PNG file bytes) drawn into the rectangle, embedded in
  // the page as a data URI so that the file stands on its own.
  void image(SvgPoint topLeft, SvgPoint bottomRight, std::string_view id, std::string_view png);
  // Text whose baseline starts (or is centred, or ends) at `at`, turned by
  // `degrees` about that point (clockwise on the page).
  void text(SvgPoint at, std::string_view text, const SvgFont& font, double degrees = 0);

  // A group, optionally with an id and a transform ("" for none).
  void beginGroup(std::string_view id, std::string_view transform);
  void endGroup();

  // Closes the page and hands over the file's text.
  std::string finish();

 private:
  void shapeStyle(const SvgStroke& stroke, const SvgFill& fill);
  void idAttribute(std::string_view id);

  std::string out_;
};

// A point in page pixels as "x,y" (two decimals at most).
std::string svgPagePoint(SvgPoint p);

}  // namespace ventaro
