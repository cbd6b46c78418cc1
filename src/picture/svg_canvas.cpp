#include "picture/svg_canvas.h"

#include <algorithm>
#include <cstdint>

#include "picture/svg_text.h"

namespace ventaro {

namespace {

constexpr int kPageDecimals = 2;

std::string px(double v) { return svgNumber(v, kPageDecimals); }

// RFC 4648 base64, with padding.
std::string base64(std::string_view bytes) {
  static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
    std::uint32_t v = 0;
    for (std::size_t k = 0; k < 3; ++k) {
      v = (v << 8) | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
    }
    for (std::size_t k = 0; k < 4; ++k) out += k <= n ? kDigits[(v >> (18 - 6 * k)) & 63] : '=';
  }
  return out;
}

std::string_view anchorName(SvgAnchor anchor) {
  switch (anchor) {
    case SvgAnchor::Start:
      return "start";
    case SvgAnchor::Middle:
      return "middle";
    case SvgAnchor::End:
      return "end";
  }
  return "start";
}

}  // namespace

std::string svgPagePoint(SvgPoint p) { return px(p.x) + "," + px(p.y); }

SvgCanvas::SvgCanvas(int width, int height, std::string_view title, std::string_view fonts) {
  const std::string w = std::to_string(width), h = std::to_string(height);
  out_ += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out_ += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.2\" baseProfile=\"tiny\" width=\"" + w +
          "\" height=\"" + h + "\" viewBox=\"0 0 " + w + " " + h + "\">\n";
  out_ += "<title>" + xmlEscaped(title) + "</title>\n";
  out_ += "<rect x=\"0\" y=\"0\" width=\"" + w + "\" height=\"" + h + "\" fill=\"#ffffff\" stroke=\"none\"/>\n";
  out_ += "<g font-family=\"" + xmlEscaped(fonts) + "\">\n";
}

void SvgCanvas::shapeStyle(const SvgStroke& stroke, const SvgFill& fill) {
  out_ += " fill=\"" + std::string(fill.colour) + "\"";
  if (fill.opacity != 1) out_ += " fill-opacity=\"" + svgNumber(fill.opacity, 3) + "\"";
  out_ += " stroke=\"" + std::string(stroke.colour) + "\" stroke-width=\"" + px(stroke.width) + "\"";
  if (stroke.dashed) out_ += " stroke-dasharray=\"6,4\"";
  out_ += " vector-effect=\"non-scaling-stroke\"/>\n";
}

void SvgCanvas::idAttribute(std::string_view id) {
  if (!id.empty()) out_ += " id=\"" + xmlEscaped(id) + "\"";
}

void SvgCanvas::line(SvgPoint a, SvgPoint b, const SvgStroke& stroke) {
  out_ += "<line x1=\"" + px(a.x) + "\" y1=\"" + px(a.y) + "\" x2=\"" + px(b.x) + "\" y2=\"" + px(b.y) + "\"";
  shapeStyle(stroke, {"none"});
}

void SvgCanvas::rect(SvgPoint topLeft, SvgPoint bottomRight, const SvgStroke& stroke, const SvgFill& fill) {
  out_ += "<rect x=\"" + px(topLeft.x) + "\" y=\"" + px(topLeft.y) + "\" width=\"" + px(bottomRight.x - topLeft.x) +
          "\" height=\"" + px(bottomRight.y - topLeft.y) + "\"";
  shapeStyle(stroke, fill);
}

void SvgCanvas::image(SvgPoint topLeft, SvgPoint bottomRight, std::string_view id, std::string_view png) {
  out_ += "<image";
  idAttribute(id);
  out_ += " x=\"" + px(topLeft.x) + "\" y=\"" + px(topLeft.y) + "\" width=\"" + px(bottomRight.x - topLeft.x) +
          "\" height=\"" + px(bottomRight.y - topLeft.y) +
          "\" preserveAspectRatio=\"none\" image-rendering=\"optimizeSpeed\"" +
          " xmlns:xlink=\"http://www.w3.org/1999/xlink\" xlink:href=\"data:image/png;base64,";
  out_ += base64(png);
  out_ += "\"/>\n";
}

void SvgCanvas::polyline(std::string_view id, std::string_view points, const SvgStroke& stroke) {
  if (points.empty()) return;
  out_ += "<polyline";
  idAttribute(id);
  out_ += " points=\"";
  out_ += points;
  out_ += "\"";
  shapeStyle(stroke, {"none"});
}

void SvgCanvas::polygon(std::string_view id, std::string_view points, const SvgStroke& stroke, const SvgFill& fill) {
  if (points.empty()) return;
  out_ += "<polygon";
  idAttribute(id);
  out_ += " points=\"";
  out_ += points;
  out_ += "\"";
  shapeStyle(stroke, fill);
}

void SvgCanvas::text(SvgPoint at, std::string_view text, const SvgFont& font, double degrees) {
  out_ += "<text";
  if (degrees != 0) {
    out_ += " transform=\"translate(" + svgPagePoint(at) + ") rotate(" + svgNumber(degrees, 2) + ")\" x=\"0\" y=\"0\"";
  } else {
    out_ += " x=\"" + px(at.x) + "\" y=\"" + px(at.y) + "\"";
  }
  out_ += " font-size=\"" + std::to_string(font.size) + "\"";
  if (font.bold) out_ += " font-weight=\"bold\"";
  if (font.anchor != SvgAnchor::Start) out_ += " text-anchor=\"" + std::string(anchorName(font.anchor)) + "\"";
  out_ += " fill=\"" + std::string(font.colour) + "\">" + xmlEscaped(text) + "</text>\n";
}

void SvgCanvas::beginGroup(std::string_view id, std::string_view transform) {
  out_ += "<g";
  idAttribute(id);
  if (!transform.empty()) out_ += " transform=\"" + std::string(transform) + "\"";
  out_ += ">\n";
}

void SvgCanvas::endGroup() { out_ += "</g>\n"; }

std::string SvgCanvas::finish() {
  out_ += "</g>\n</svg>\n";
  return std::move(out_);
}

}  // namespace ventaro
