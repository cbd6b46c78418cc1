// PNG pictures, where the PNG module is built: the same drawing as the SVG
// picture, rasterised by the module that only such a run loads.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli_process.h"

namespace ventaro::testing {
namespace {

QImage pngImage(const std::string& bytes) {
  QImage image;
  image.loadFromData(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())), "PNG");
  return image;
}

int pixelsOf(const QImage& image, QRgb colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == colour;
  }
  return n;
}

TEST(CliPng, TheSvgDrawingRasterised) {
  TempDir dir;
  const auto run = runCli({"-o", dir.file("b.nc"), "--quiet", "--preview", dir.file("p.png")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::string bytes = readFile(dir.file("p.png"));
  ASSERT_TRUE(bytes.starts_with("\x89PNG\r\n\x1a\n"));
  const QImage image = pngImage(bytes);
  ASSERT_EQ(image.width(), 1200);
  ASSERT_EQ(image.height(), 1560);
  // The block of the top view is filled in its own colour, and a good part
  // of the picture is ink rather than paper.
  EXPECT_GT(pixelsOf(image, qRgb(240, 226, 196)), 50000);
  EXPECT_LT(pixelsOf(image, qRgb(255, 255, 255)), 1200 * 1560 * 9 / 10);
  // The chord at finishing station 44 (939.2 mm, 187.374 mm) lies where the
  // SVG's planform transform puts it, in the chord's blue.
  const QColor chord = image.pixelColor(qRound(939.2 * 0.651316 + 2.763), qRound(440 - 187.374 * 0.633333));
  EXPECT_GT(chord.blue(), 150) << chord.name().toStdString();
  EXPECT_LT(chord.red(), 80) << chord.name().toStdString();
}

// The check picture is its SVG page rasterised at its own size: paper
// around the map, the map drawn where the page places it.
TEST(CliPng, TheCheckPictureRasterised) {
  TempDir dir;
  const auto run = runCli({"-o", dir.file("b.nc"), "--quiet", "--check", dir.file("c.png")});
  ASSERT_EQ(run.status, 3) << run.err;
  const QImage image = pngImage(readFile(dir.file("c.png")));
  // 2960 x 600 cells, three to a pixel: a map of 987 x 200 at (20, 34).
  ASSERT_EQ(image.width(), 1027);
  ASSERT_EQ(image.height(), 384);
  EXPECT_EQ(image.pixel(10, 10), qRgb(255, 255, 255));
  // Near the tip the plain job leaves material above the target: blue.
  const QColor left = image.pixelColor(20 + 950, 34 + 100);
  EXPECT_GT(left.blue(), left.red() + 60) << left.name().toStdString();
}

TEST(CliPng, NeedsNoDisplay) {
  // A display that cannot be reached (a stale DISPLAY over ssh) must not
  // stop the picture, which is drawn into memory.
  TempDir dir;
  const auto keep = [](const char* name) {
    const char* v = std::getenv(name);
    return v ? std::optional<std::string>(v) : std::nullopt;
  };
  const auto restore = [](const char* name, const std::optional<std::string>& v) {
    if (v) {
      ::setenv(name, v->c_str(), 1);
    } else {
      ::unsetenv(name);
    }
  };
  const auto display = keep("DISPLAY"), platform = keep("QT_QPA_PLATFORM");
  ::setenv("DISPLAY", ":97", 1);
  ::unsetenv("QT_QPA_PLATFORM");
  const auto run = runCli({"-o", dir.file("b.nc"), "--quiet", "--preview", dir.file("p.png")});
  restore("DISPLAY", display);
  restore("QT_QPA_PLATFORM", platform);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(readFile(dir.file("p.png")).starts_with("\x89PNG"));
}

TEST(CliPng, WithoutItsModule) {
  // A ventaro-gcode with no PNG module beside it still writes programs and
  // SVG pictures, but a run asking for a PNG picture fails as a whole and
  // writes nothing.
  TempDir bin, dir;
  const std::string alone = bin.file("ventaro-gcode");
  std::filesystem::copy_file(VENTARO_GCODE_PATH, alone);
  RunSetup setup;
  setup.executable = alone;
  const auto svg = runCli(
      {"-o", dir.file("a.nc"), "--quiet", "--stations", dir.file("s.csv"), "--preview", dir.file("p.svg")}, setup);
  ASSERT_EQ(svg.status, 0) << svg.err;
  EXPECT_EQ(dir.entries(), (std::vector<std::string>{"a.nc", "p.svg", "s.csv"}));

  TempDir none;
  const auto run =
      runCli({"-o", none.file("b.nc"), "--stations", none.file("s.csv"), "--preview", none.file("p.png")}, setup);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  const std::string module = bin.path() + "/ventaro-gcode-preview.so";
  EXPECT_TRUE(run.err.starts_with("ventaro-gcode: the PNG picture needs the module \"" + module +
                                  "\", which could not be loaded: "))
      << run.err;
  EXPECT_TRUE(none.entries().empty());
}

}  // namespace
}  // namespace ventaro::testing
