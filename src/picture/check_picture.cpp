#include "picture/check_picture.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <regex>
#include <stdexcept>

#include "core/number_text.h"
#include "machine/fixed_text.h"
#include "picture/png_encode.h"
#include "picture/preview_svg.h"
#include "picture/svg_canvas.h"
#include "picture/svg_text.h"

namespace ventaro {

namespace {

constexpr int kMaxMapWidth = 1000;
constexpr int kLeft = 20, kRight = 20, kTop = 34;
constexpr Rgb kWhite{255, 255, 255};

constexpr std::array<Rgb, 4> kGougeColours{Rgb{255, 190, 190}, Rgb{250, 110, 100}, Rgb{215, 20, 20}, Rgb{120, 0, 0}};
constexpr std::array<Rgb, 4> kLeftColours{Rgb{195, 225, 255}, Rgb{120, 175, 250}, Rgb{40, 100, 225}, Rgb{10, 35, 135}};

int bandOf(double depth, double tolerance) {
  if (depth <= tolerance) return -1;
  if (depth > 5) return 3;
  if (depth > 1) return 2;
  return depth > 0.1 ? 1 : 0;
}

Rgb scaled(Rgb c, double f) {
  auto ch = [f](std::uint8_t v) { return static_cast<std::uint8_t>(std::clamp(std::lround(v * f), 0L, 255L)); };
  return Rgb{ch(c.r), ch(c.g), ch(c.b)};
}

// One pixel's cells summed up: the worst gouge, the most left, the mean Z.
struct PixelCells {
  double gouge = -1e300, left = -1e300, meanZ = 0;
};

class MapPainter {
 public:
  MapPainter(const CheckResult& r) : r_(r), map_(r.finished) {
    k_ = static_cast<int>(std::ceil(static_cast<double>(map_.columns()) / kMaxMapWidth));
    w_ = (map_.columns() + k_ - 1) / k_;
    h_ = (map_.rows() + k_ - 1) / k_;
    cells_.resize(static_cast<std::size_t>(w_) * static_cast<std::size_t>(h_));
    for (int py = 0; py < h_; ++py) {
      for (int px = 0; px < w_; ++px) cells_[static_cast<std::size_t>(py * w_ + px)] = gather(px, py);
    }
  }

  int width() const { return w_; }
  int height() const { return h_; }
  double mmPerPixel() const { return k_ * map_.cell(); }

  // px from the hub, py from Y = 0 upwards.
  Rgb colour(int px, int py) const {
    const PixelCells& c = cell(px, py);
    const double light = 0.75 + 0.25 * shade(px, py);
    if (const int g = bandOf(c.gouge, r_.settings.tolerance); g >= 0) return scaled(kGougeColours[g], light);
    if (const int l = bandOf(c.left, r_.settings.tolerance); l >= 0) return scaled(kLeftColours[l], light);
    return scaled(Rgb{215, 215, 210}, 0.45 + 0.55 * shade(px, py));
  }

 private:
  PixelCells gather(int px, int py) const {
    PixelCells c;
    int n = 0;
    for (int j = py * k_; j < std::min(map_.rows(), (py + 1) * k_); ++j) {
      for (int i = px * k_; i < std::min(map_.columns(), (px + 1) * k_); ++i) {
        const std::size_t at = map_.index(i, j);
        const double z = map_.heights()[at], t = r_.target[at];
        c.gouge = std::max(c.gouge, t - z);
        c.left = std::max(c.left, z - t);
        c.meanZ += z;
        ++n;
      }
    }
    c.meanZ /= n;
    return c;
  }

  const PixelCells& cell(int px, int py) const {
    px = std::clamp(px, 0, w_ - 1);
    py = std::clamp(py, 0, h_ - 1);
    return cells_[static_cast<std::size_t>(py * w_ + px)];
  }

  // Light from the upper left of the picture (low X, high Y) and above.
  double shade(int px, int py) const {
    const double step = 2 * mmPerPixel();
    const double dzdx = (cell(px + 1, py).meanZ - cell(px - 1, py).meanZ) / step;
    const double dzdy = (cell(px, py + 1).meanZ - cell(px, py - 1).meanZ) / step;
    const double lx = -0.5, ly = 0.5, lz = 0.7071067811865476;
    const double dot = (-dzdx * lx - dzdy * ly + lz) / std::sqrt(dzdx * dzdx + dzdy * dzdy + 1);
    return std::clamp(dot, 0.0, 1.0);
  }

  const CheckResult& r_;
  const HeightMap& map_;
  int k_, w_, h_;
  std::vector<PixelCells> cells_;
};

// Text sizes and places on the page, in pixels.
constexpr int kTitleSize = 15, kLabelSize = 13;
constexpr std::string_view kInkColour = "#1e1e1e";

std::string hex(Rgb c) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out = "#";
  for (std::uint8_t v : {c.r, c.g, c.b}) {
    out += kDigits[v >> 4];
    out += kDigits[v & 15];
  }
  return out;
}

double legendRow(SvgCanvas& page, double y, std::string_view label, const std::array<Rgb, 4>& colours,
                 double tolerance) {
  const SvgFont font{kLabelSize, kInkColour};
  page.text({kLeft, y + 15}, label, font);
  double x = kLeft + 170;
  const std::array<std::string, 4> bands{"over " + NumberText(tolerance), "over 0.1", "over 1", "over 5 mm"};
  for (std::size_t b = 0; b < 4; ++b) {
    const std::string colour = hex(colours[b]);
    page.rect({x, y}, {x + 28, y + 20}, SvgStroke{kInkColour, 1}, SvgFill{colour});
    page.text({x + 34, y + 15}, bands[b], font);
    x += 34 + 8.0 * static_cast<double>(bands[b].size()) + 24;
  }
  return y + 28;
}

// A bar of a round length of about a sixth of the map, labelled.
void scaleBar(SvgCanvas& page, double x, double y, double mmPerPixel, int mapWidth) {
  double length = 1000;
  for (double l : {500.0, 200.0, 100.0, 50.0, 20.0, 10.0, 5.0}) {
    if (length / mmPerPixel > mapWidth / 6.0) length = l;
  }
  const double px = std::round(length / mmPerPixel);
  const SvgStroke ink{kInkColour, 2};
  page.line({x, y + 7}, {x + px, y + 7}, ink);
  page.line({x, y}, {x, y + 14}, ink);
  page.line({x + px, y}, {x + px, y + 14}, ink);
  page.text({x + px + 10, y + 12}, fixedText(length, 0) + " mm", SvgFont{kLabelSize, kInkColour});
}

}  // namespace

double checkPictureScale(const HeightMap& map) {
  return std::ceil(static_cast<double>(map.columns()) / kMaxMapWidth) * map.cell();
}

Rgb gougeColour(int band) { return kGougeColours[static_cast<std::size_t>(band)]; }
Rgb leftColour(int band) { return kLeftColours[static_cast<std::size_t>(band)]; }

RgbImage checkMap(const CheckResult& result) {
  const MapPainter painter(result);
  RgbImage image(painter.width(), painter.height(), kWhite);
  for (int py = 0; py < painter.height(); ++py) {
    for (int px = 0; px < painter.width(); ++px) image.set(px, painter.height() - 1 - py, painter.colour(px, py));
  }
  return image;
}

std::string checkPictureSvg(const CheckResult& result, std::string_view title, std::string_view farEnd) {
  const RgbImage map = checkMap(result);
  const double mmPerPixel = checkPictureScale(result.finished);
  const int mapW = map.width(), mapH = map.height();
  const int width = std::max(kLeft + mapW + kRight, 760);
  const int height = kTop + mapH + 150;
  SvgCanvas page(width, height, title, kPreviewFonts);
  page.text({kLeft, 22}, title, SvgFont{kTitleSize, kInkColour, SvgAnchor::Start, true});
  page.image({kLeft, kTop}, {kLeft + static_cast<double>(mapW), kTop + static_cast<double>(mapH)}, "map",
             encodePng(map));
  page.rect({kLeft - 0.5, kTop - 0.5}, {kLeft + mapW + 0.5, kTop + mapH + 0.5}, SvgStroke{kInkColour, 1},
            SvgFill{"none"});
  const Block& b = result.settings.block;
  double y = kTop + mapH + 8;
  const SvgFont font{kLabelSize, kInkColour};
  const std::string hub =
      "hub X " + fixedText(b.x0, 0) + ", Y " + fixedText(b.y0, 0) + " (bottom) to " + fixedText(b.y1, 0) + " (top)";
  page.text({kLeft, y + 12}, hub, font);
  page.text({kLeft + static_cast<double>(mapW), y + 12}, std::string(farEnd) + " X " + fixedText(b.x1, 0) + " mm",
            SvgFont{kLabelSize, kInkColour, SvgAnchor::End});
  scaleBar(page, kLeft + 7.5 * static_cast<double>(hub.size()) + 40, y, mmPerPixel, mapW);
  y += 30;
  y = legendRow(page, y, "below the target", kGougeColours, result.settings.tolerance);
  y = legendRow(page, y, "left above it", kLeftColours, result.settings.tolerance);
  page.text({kLeft, y + 15}, "grey: within " + NumberText(result.settings.tolerance) + " mm of the target", font);
  return page.finish();
}

namespace {

// A page's size from its root element, and what lies inside the root
// element, its title left out.
struct Page {
  double width = 0, height = 0;
  std::string inner;
};

Page pageOf(const std::string& svg) {
  Page page;
  std::smatch m;
  if (!std::regex_search(svg, m, std::regex(R"re(<svg [^>]*width="([0-9.]+)" height="([0-9.]+)")re"))) {
    throw std::invalid_argument("not a picture page");
  }
  page.width = std::stod(m[1]);
  page.height = std::stod(m[2]);
  const std::size_t open = svg.find('>', static_cast<std::size_t>(m.position(0))) + 1;
  page.inner = svg.substr(open, svg.rfind("</svg>") - open);
  const std::size_t title = page.inner.find("<title>");
  if (title != std::string::npos) page.inner.erase(title, page.inner.find("</title>", title) + 9 - title);
  return page;
}

}  // namespace

std::string stackedPictureSvg(const std::string& first, const std::string& second, std::string_view title) {
  const Page a = pageOf(first);
  Page b = pageOf(second);
  for (std::size_t at = b.inner.find(" id=\""); at != std::string::npos; at = b.inner.find(" id=\"", at + 1)) {
    b.inner.insert(b.inner.find('"', at + 5), "-2");
  }
  const std::string w = svgNumber(std::max(a.width, b.width), 0), h = svgNumber(a.height + b.height, 0);
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.2\" "
         "baseProfile=\"tiny\" width=\"" +
         w + "\" height=\"" + h + "\" viewBox=\"0 0 " + w + " " + h + "\">\n<title>" + xmlEscaped(std::string(title)) +
         "</title>\n<g>" + a.inner + "</g>\n<g transform=\"translate(0," + svgNumber(a.height, 0) + ")\">" + b.inner +
         "</g>\n</svg>\n";
}

}  // namespace ventaro
