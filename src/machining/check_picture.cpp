#include "machining/check_picture.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/number_text.h"
#include "machining/fixed_text.h"
#include "machining/pixel_font.h"
#include "machining/png_file.h"

namespace ventaro {

namespace {

constexpr int kMaxMapWidth = 1000;
constexpr int kText = 2;  // font scale
constexpr int kLeft = 20, kRight = 20, kTop = 34;
constexpr Rgb kWhite{255, 255, 255}, kInk{30, 30, 30};

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

int legendRow(RgbImage& image, int y, std::string_view label, const std::array<Rgb, 4>& colours, double tolerance) {
  drawText(image, kLeft, y + 3, label, kText, kInk);
  int x = kLeft + 190;
  const std::array<std::string, 4> bands{">" + NumberText(tolerance), ">0.1", ">1", ">5 MM"};
  for (std::size_t b = 0; b < 4; ++b) {
    image.fillRect(x, y, 28, 20, colours[b]);
    image.frameRect(x, y, 28, 20, kInk);
    drawText(image, x + 34, y + 3, bands[b], kText, kInk);
    x += 34 + textWidth(bands[b], kText) + 24;
  }
  return y + 28;
}

// A bar of a round length of about a sixth of the map, labelled.
void scaleBar(RgbImage& image, int x, int y, double mmPerPixel, int mapWidth) {
  double length = 1000;
  for (double l : {500.0, 200.0, 100.0, 50.0, 20.0, 10.0, 5.0}) {
    if (length / mmPerPixel > mapWidth / 6.0) length = l;
  }
  const int px = static_cast<int>(std::lround(length / mmPerPixel));
  image.fillRect(x, y + 5, px, 4, kInk);
  image.fillRect(x, y, 2, 14, kInk);
  image.fillRect(x + px - 2, y, 2, 14, kInk);
  drawText(image, x + px + 10, y, fixedText(length, 0) + " MM", kText, kInk);
}

}  // namespace

double checkPictureScale(const HeightMap& map) {
  return std::ceil(static_cast<double>(map.columns()) / kMaxMapWidth) * map.cell();
}

Rgb gougeColour(int band) { return kGougeColours[static_cast<std::size_t>(band)]; }
Rgb leftColour(int band) { return kLeftColours[static_cast<std::size_t>(band)]; }

RgbImage checkPicture(const CheckResult& result, std::string_view title) {
  const MapPainter painter(result);
  const int mapW = painter.width(), mapH = painter.height();
  const int width = std::max(kLeft + mapW + kRight, 760);
  const int height = kTop + mapH + 150;
  RgbImage image(width, height, kWhite);
  drawText(image, kLeft, 10, title, kText, kInk);
  for (int py = 0; py < mapH; ++py) {
    for (int px = 0; px < mapW; ++px) image.set(kLeft + px, kTop + mapH - 1 - py, painter.colour(px, py));
  }
  image.frameRect(kLeft - 1, kTop - 1, mapW + 2, mapH + 2, kInk);
  const Block& b = result.settings.block;
  int y = kTop + mapH + 8;
  const std::string hub =
      "HUB X " + fixedText(b.x0, 0) + ", Y " + fixedText(b.y0, 0) + " (BOTTOM) TO " + fixedText(b.y1, 0) + " (TOP)";
  const std::string tip = "TIP X " + fixedText(b.x1, 0) + " MM";
  drawText(image, kLeft, y, hub, kText, kInk);
  drawText(image, kLeft + mapW - textWidth(tip, kText), y, tip, kText, kInk);
  scaleBar(image, kLeft + textWidth(hub, kText) + 40, y, painter.mmPerPixel(), mapW);
  y += 30;
  y = legendRow(image, y, "BELOW TARGET", kGougeColours, result.settings.tolerance);
  y = legendRow(image, y, "LEFT ABOVE IT", kLeftColours, result.settings.tolerance);
  drawText(image, kLeft, y + 3, "GREY: WITHIN " + NumberText(result.settings.tolerance) + " MM OF THE TARGET", kText,
           kInk);
  return image;
}

std::string checkPicturePng(const CheckResult& result, std::string_view title) {
  return pngBytes(checkPicture(result, title));
}

}  // namespace ventaro
