// The preview picture: a PNG or SVG drawn with Qt's painter, with its axis
// labels as text, for the default blade and for a rotor wider than its stock.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QImage>

#include "extras_support.h"
#include "png/preview.h"

namespace ventaro {
namespace {

using testing::DesignRun;

std::string draw(const DesignRun& run, PreviewFormat format) {
  const ProgramMoves moves = readProgramMoves(run.program);
  return previewBytes(previewInput(run.record(), moves, run.fields), format);
}

// Pixels that are neither white nor grey-ish background: the drawn lines.
int colouredPixels(const QImage& image, QRgb colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == colour;
  }
  return n;
}

TEST(Preview, FormatFromTheFileName) {
  EXPECT_EQ(previewFormat("blade.svg"), PreviewFormat::Svg);
  EXPECT_EQ(previewFormat("out/Blade.PNG"), PreviewFormat::Png);
  EXPECT_THROW(previewFormat("blade.jpg"), PreviewError);
  EXPECT_THROW(previewFormat("svg"), PreviewError);
}

TEST(Preview, PngOfTheDefaultBlade) {
  const std::string bytes = draw(DesignRun(), PreviewFormat::Png);
  ASSERT_TRUE(bytes.starts_with("\x89PNG\r\n\x1a\n"));
  QImage image;
  ASSERT_TRUE(image.loadFromData(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())), "PNG"));
  EXPECT_EQ(image.width(), 1200);
  EXPECT_EQ(image.height(), 1560);
  // The block of the top view is filled in its own colour, and a good part
  // of the picture is ink rather than paper.
  EXPECT_GT(colouredPixels(image, qRgb(240, 226, 196)), 50000);
  EXPECT_LT(colouredPixels(image, qRgb(255, 255, 255)), 1200 * 1560 * 9 / 10);
}

TEST(Preview, SvgCarriesItsLabelsAsText) {
  const std::string svg = draw(DesignRun(), PreviewFormat::Svg);
  ASSERT_NE(svg.find("<svg"), std::string::npos);
  for (const char* label :
       {"radius X / mm", "chord / mm", "twist / degrees", "across the stock Y / mm", "height Z / mm", "roughing pass 3",
        "stock width 300.0 mm", "Top view: finishing toolpath (T2) over the block"}) {
    EXPECT_NE(svg.find(label), std::string::npos) << label;
  }
  EXPECT_EQ(svg.find("roughing pass 4"), std::string::npos);
}

TEST(Preview, UnusualRotors) {
  const std::string svg = draw(DesignRun(testing::narrowStock()), PreviewFormat::Svg);
  EXPECT_NE(svg.find("roughing pass 5"), std::string::npos);
  EXPECT_NE(svg.find("stock width 50.0 mm"), std::string::npos);
  // No station at all and no pass: axes and block only, no failure.
  const std::string empty = draw(DesignRun({{Field::HubRad, "2"}, {Field::RoughPassesNo, "0"}}), PreviewFormat::Png);
  EXPECT_TRUE(empty.starts_with("\x89PNG"));
}

}  // namespace
}  // namespace ventaro
