#include "picture/png_encode.h"

#include <png.h>

#include <csetjmp>
#include <stdexcept>

namespace ventaro {

namespace {

void appendBytes(png_structp png, png_bytep data, png_size_t length) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), length);
}

void noFlush(png_structp) {}

void noWarning(png_structp, png_const_charp) {}

// Writes the rows; libpng reports a failure by a long jump back to the
// setjmp() in written(), past nothing that needs destroying.
void writeRows(png_structp png, png_infop info, const RgbImage& image) {
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()), static_cast<png_uint_32>(image.height()), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  const std::size_t stride = static_cast<std::size_t>(image.width()) * 3;
  for (int y = 0; y < image.height(); ++y) {
    // libpng takes the row as writable, but only reads it.
    auto* row = const_cast<png_bytep>(image.bytes().data() + static_cast<std::size_t>(y) * stride);
    png_write_row(png, row);
  }
  png_write_end(png, nullptr);
}

// Whether the rows were written. Nothing here lives across the jump.
bool written(png_structp png, png_infop info, const RgbImage& image) {
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  writeRows(png, info, image);
  return true;
}

}  // namespace

std::string encodePng(const RgbImage& image) {
  std::string out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, noWarning);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  if (info != nullptr) png_set_write_fn(png, &out, appendBytes, noFlush);
  const bool ok = info != nullptr && written(png, info, image);
  png_destroy_write_struct(&png, &info);
  if (!ok) throw std::runtime_error("the picture cannot be encoded as PNG");
  return out;
}

}  // namespace ventaro
