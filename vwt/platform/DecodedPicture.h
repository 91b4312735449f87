#pragma once

#include <cstdint>
#include <vector>

namespace vwt {
namespace platform {

// A picture decoded from PNG, JPEG or GIF: premultiplied 0xAARRGGBB (pixman's a8r8g8b8),
// width * height pixels, row-major, rows `width` pixels apart.
struct DecodedPicture {
  int width = 0;
  int height = 0;
  // Pixels per inch as the file states it, 96 when it does not.
  int dpiX = 96;
  int dpiY = 96;
  std::vector<uint32_t> pixels;
};

}  // namespace platform
}  // namespace vwt
