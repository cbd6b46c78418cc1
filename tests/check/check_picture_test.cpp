// The check's picture: the PNG file read back with zlib gives the picture's
// own pixels, and the map shows a gouge and material left in their colours.
#include <gtest/gtest.h>

#include <zlib.h>

#include <cstdint>

#include "machining/check_picture.h"
#include "machining/png_file.h"

namespace ventaro {
namespace {

std::uint32_t bigEndian(const std::string& s, std::size_t at) {
  return (std::uint32_t{static_cast<unsigned char>(s[at])} << 24) |
         (std::uint32_t{static_cast<unsigned char>(s[at + 1])} << 16) |
         (std::uint32_t{static_cast<unsigned char>(s[at + 2])} << 8) | static_cast<unsigned char>(s[at + 3]);
}

struct Chunk {
  std::string type, data;
};

// The chunks of a PNG file; fails the test on a bad CRC.
std::vector<Chunk> chunksOf(const std::string& png) {
  std::vector<Chunk> chunks;
  std::size_t at = 8;
  while (at + 12 <= png.size()) {
    const std::uint32_t length = bigEndian(png, at);
    Chunk c{png.substr(at + 4, 4), png.substr(at + 8, length)};
    const auto* typeAndData = reinterpret_cast<const Bytef*>(png.data() + at + 4);
    EXPECT_EQ(bigEndian(png, at + 8 + length), crc32(0L, typeAndData, 4 + length)) << c.type;
    chunks.push_back(std::move(c));
    at += 12 + length;
  }
  EXPECT_EQ(at, png.size());
  return chunks;
}

TEST(PngFile, ReadsBackAsThePicture) {
  RgbImage image(7, 5, Rgb{10, 20, 30});
  image.fillRect(2, 1, 3, 3, Rgb{200, 5, 250});
  image.set(6, 4, Rgb{255, 255, 0});
  const std::string png = pngBytes(image);
  ASSERT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n"));
  const auto chunks = chunksOf(png);
  ASSERT_EQ(chunks.size(), 3u);
  EXPECT_EQ(chunks[0].type, "IHDR");
  EXPECT_EQ(chunks[0].data, std::string("\0\0\0\x07\0\0\0\x05\x08\x02\0\0\0", 13));
  EXPECT_EQ(chunks[1].type, "IDAT");
  EXPECT_EQ(chunks[2].type, "IEND");
  EXPECT_EQ(chunks[2].data, "");

  const std::size_t stride = 7 * 3;
  std::vector<Bytef> raw((stride + 1) * 5);
  uLongf size = raw.size();
  ASSERT_EQ(uncompress(raw.data(), &size, reinterpret_cast<const Bytef*>(chunks[1].data.data()), chunks[1].data.size()),
            Z_OK);
  ASSERT_EQ(size, raw.size());
  std::vector<std::uint8_t> pixels;
  for (std::size_t y = 0; y < 5; ++y) {
    const Bytef filter = raw[y * (stride + 1)];
    ASSERT_TRUE(filter == 0 || filter == 2) << y;  // none or "Up"
    for (std::size_t k = 0; k < stride; ++k) {
      const std::uint8_t above = (filter == 2 && y > 0) ? pixels[(y - 1) * stride + k] : 0;
      pixels.push_back(static_cast<std::uint8_t>(raw[y * (stride + 1) + 1 + k] + above));
    }
  }
  EXPECT_EQ(pixels, image.bytes());
}

TEST(CheckPicture, GougesAndMaterialLeftInTheirColours) {
  // A block 100 by 50 mm, top Z 10, a level target at 0: a plunge 2 mm
  // below it at X 20, a pass 0.5 mm above it over X 60 to 100.
  CheckSettings s;
  s.block = Block{0, 100, 0, 50, 10};
  s.tools[1] = Cutter{ToolShape::Flat, 5};
  const CheckResult r = checkProgram("T1\nG0 X20 Y25 Z20\nG1 Z-2\nG0 Z20\nG0 X60\nG1 Z0.5\nG1 X110\nG0 Z20\n", s,
                                     [](double, double) { return 0.0; });
  const RgbImage image = checkPicture(r, "TEST");
  // One pixel per 0.5 mm cell; the map's left edge 20 pixels in and its top
  // 34 down, Y upwards.
  EXPECT_EQ(checkPictureScale(r.finished), 0.5);
  auto mapPixel = [&](double x, double y) {
    return image.at(20 + static_cast<int>(x / 0.5), 34 + 100 - 1 - static_cast<int>(y / 0.5));
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

}  // namespace
}  // namespace ventaro
