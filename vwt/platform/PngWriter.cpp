#include "vwt/platform/PngWriter.h"

#include <png.h>
#include <stdio.h>

#include <vector>

namespace vwt {
namespace platform {

bool writePng(const std::string& path, const PixelTarget& pixels) {
  if (!pixels.pixels || pixels.width <= 0 || pixels.height <= 0 || pixels.stride < pixels.width) return false;
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  std::vector<png_byte> row(static_cast<size_t>(pixels.width) * 3);
  volatile bool ok = false;  // set after setjmp
  if (png && info && setjmp(png_jmpbuf(png)) == 0) {
    png_init_io(png, f);
    png_set_IHDR(png, info, pixels.width, pixels.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < pixels.height; ++y) {
      const uint32_t* src = pixels.pixels + static_cast<ptrdiff_t>(y) * pixels.stride;
      for (int x = 0; x < pixels.width; ++x) {
        row[x * 3] = static_cast<png_byte>(src[x] >> 16);
        row[x * 3 + 1] = static_cast<png_byte>(src[x] >> 8);
        row[x * 3 + 2] = static_cast<png_byte>(src[x]);
      }
      png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    ok = true;
  }
  png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
  bool written = ok;
  if (fclose(f) != 0) written = false;
  if (!written) remove(path.c_str());
  return written;
}

}  // namespace platform
}  // namespace vwt
