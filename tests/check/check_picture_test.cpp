// The check's picture: the map shows a gouge and material left in their
// colours, and the SVG page holds the map as a PNG image that reads back
// (with libpng) as the map's own pixels.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <string>

#include "picture/check_picture.h"

namespace ventaro {
namespace {

CheckResult gougeAndLeft() {
  // A block 100 by 50 mm, top Z 10, a level target at 0: a plunge 2 mm
  // below it at X 20, a pass 0.5 mm above it over X 60 to 100.
  CheckSettings s;
  s.block = Block{0, 100, 0, 50, 10};
  s.tools[1] = Cutter{ToolShape::Flat, 5};
  return checkProgram("T1\nG0 X20 Y25 Z20\nG1 Z-2\nG0 Z20\nG0 X60\nG1 Z0.5\nG1 X110\nG0 Z20\n", s,
                      [](double, double) { return 0.0; });
}

TEST(CheckPicture, GougesAndMaterialLeftInTheirColours) {
  const CheckResult r = gougeAndLeft();
  const RgbImage map = checkMap(r);
  // One pixel per 0.5 mm cell, Y upwards.
  EXPECT_EQ(checkPictureScale(r.finished), 0.5);
  ASSERT_EQ(map.width(), 200);
  ASSERT_EQ(map.height(), 100);
  auto mapPixel = [&](double x, double y) {
    return map.at(static_cast<int>(x / 0.5), 100 - 1 - static_cast<int>(y / 0.5));
  };
  auto near = [](Rgb got, Rgb want) {
    // Shading darkens the colours by at most a quarter.
    return got.r <= want.r && got.g <= want.g && got.b <= want.b && got.r >= want.r * 3 / 4 &&
           got.g >= want.g * 3 / 4 && got.b >= want.b * 3 / 4;
  };
  EXPECT_TRUE(near(mapPixel(20, 25), gougeColour(2)));  // 2 mm below: the band over 1 mm
  EXPECT_TRUE(near(mapPixel(80, 25), leftColour(1)));   // 0.5 mm left: the band over 0.1 mm
  EXPECT_TRUE(near(mapPixel(40, 10), leftColour(3)));   // the uncut block, 10 mm above: over 5 mm
}

// The bytes of a base64 text.
std::string fromBase64(std::string_view text) {
  const std::string digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  std::uint32_t bits = 0;
  int count = 0;
  for (char c : text) {
    if (c == '=') break;
    bits = (bits << 6) | static_cast<std::uint32_t>(digits.find(c));
    count += 6;
    if (count >= 8) {
      count -= 8;
      out += static_cast<char>((bits >> count) & 0xFF);
    }
  }
  return out;
}

TEST(CheckPicture, ThePageHoldsTheMapAsAPngImage) {
  const CheckResult r = gougeAndLeft();
  const std::string svg = checkPictureSvg(r, "TEST & title");
  EXPECT_TRUE(svg.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg "));
  EXPECT_NE(svg.find("<title>TEST &amp; title</title>"), std::string::npos);
  EXPECT_NE(svg.find(">grey: within 0.01 mm of the target</text>"), std::string::npos);
  const std::string head = "<image id=\"map\" x=\"20\" y=\"34\" width=\"200\" height=\"100\"";
  const auto at = svg.find(head);
  ASSERT_NE(at, std::string::npos);
  const std::string uri = "data:image/png;base64,";
  const auto from = svg.find(uri, at) + uri.size();
  const std::string png = fromBase64(std::string_view(svg).substr(from, svg.find('"', from) - from));

  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_memory(&image, png.data(), png.size())) << image.message;
  image.format = PNG_FORMAT_RGB;
  std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) << image.message;
  EXPECT_EQ(image.width, 200u);
  EXPECT_EQ(image.height, 100u);
  EXPECT_EQ(pixels, checkMap(r).bytes());
}

}  // namespace
}  // namespace ventaro
