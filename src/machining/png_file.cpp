#include "machining/png_file.h"

#include <zlib.h>

#include <cstdint>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace ventaro {

namespace {

void appendBigEndian(std::string& out, std::uint32_t v) {
  out += static_cast<char>((v >> 24) & 0xFF);
  out += static_cast<char>((v >> 16) & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
  out += static_cast<char>(v & 0xFF);
}

// A chunk: length, type, data, and the CRC of type and data.
void appendChunk(std::string& out, std::string_view type, std::string_view data) {
  appendBigEndian(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t typeAt = out.size();
  out += type;
  out += data;
  const auto* crcFrom = reinterpret_cast<const Bytef*>(out.data() + typeAt);
  appendBigEndian(out, static_cast<std::uint32_t>(crc32(0L, crcFrom, static_cast<uInt>(out.size() - typeAt))));
}

std::string header(const RgbImage& image) {
  std::string ihdr;
  appendBigEndian(ihdr, static_cast<std::uint32_t>(image.width()));
  appendBigEndian(ihdr, static_cast<std::uint32_t>(image.height()));
  ihdr += '\x08';  // bits per channel
  ihdr += '\x02';  // colour type: RGB
  ihdr += '\x00';  // deflate
  ihdr += '\x00';  // filtering by scanline filter types
  ihdr += '\x00';  // no interlace
  return ihdr;
}

// Each row with its filter type: "Up" (the difference to the row above)
// keeps the large even areas of a map small.
std::vector<Bytef> filteredRows(const RgbImage& image) {
  const std::size_t stride = static_cast<std::size_t>(image.width()) * 3;
  const auto& px = image.bytes();
  std::vector<Bytef> rows;
  rows.reserve((stride + 1) * static_cast<std::size_t>(image.height()));
  for (std::size_t y = 0; y < static_cast<std::size_t>(image.height()); ++y) {
    rows.push_back(y == 0 ? 0 : 2);
    for (std::size_t k = 0; k < stride; ++k) {
      const std::uint8_t above = y == 0 ? 0 : px[(y - 1) * stride + k];
      rows.push_back(static_cast<Bytef>(px[y * stride + k] - above));
    }
  }
  return rows;
}

}  // namespace

std::string pngBytes(const RgbImage& image) {
  const std::vector<Bytef> rows = filteredRows(image);
  uLongf size = compressBound(static_cast<uLong>(rows.size()));
  std::string deflated(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(deflated.data()), &size, rows.data(), static_cast<uLong>(rows.size()), 9) !=
      Z_OK) {
    throw std::runtime_error("the picture could not be compressed");
  }
  deflated.resize(size);
  std::string out = "\x89PNG\r\n\x1a\n";
  appendChunk(out, "IHDR", header(image));
  appendChunk(out, "IDAT", deflated);
  appendChunk(out, "IEND", "");
  return out;
}

}  // namespace ventaro
