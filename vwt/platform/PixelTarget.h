#pragma once

#include <cstdint>

namespace vwt {
namespace platform {

// A borrowed view of 32-bit pixels, 0xAARRGGBB in native byte order (pixman's
// a8r8g8b8), rows `stride` pixels apart. Whoever hands it out keeps the pixels alive.
struct PixelTarget {
  uint32_t* pixels = nullptr;
  int stride = 0;
  int width = 0;
  int height = 0;
};

// A half-open rectangle [x0, x1) x [y0, y1) in target pixels.
struct PixelRect {
  int x0 = 0;
  int y0 = 0;
  int x1 = 0;
  int y1 = 0;
};

}  // namespace platform
}  // namespace vwt
