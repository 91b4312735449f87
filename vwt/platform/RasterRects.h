#pragma once

#include <cstdint>

#include "vwt/platform/Surface.h"

namespace vwt {
namespace platform {

// Rectangles and single pixels. Colours are 0x00RRGGBB and drawn opaque; coordinates are logical
// (the surface's origin applies) and everything is clipped to the surface's clip.

// Fills x..x+w-1 by y..y+h-1; nothing when w or h is not positive.
void fillRect(Surface& surface, int x, int y, int w, int h, uint32_t rgb);
// The same in device pixels, for the other raster rules.
void fillDeviceRect(Surface& surface, const PixelRect& rect, uint32_t rgb);
// The pen outline through the four corners: covers x..x+w by y..y+h, that is w + 1 by h + 1 pixels.
void drawRectOutline(Surface& surface, int x, int y, int w, int h, uint32_t rgb);
void setPixel(Surface& surface, int x, int y, uint32_t rgb);
// 0x00RRGGBB of a pixel, 0 outside the surface (the clip does not hide pixels from reading).
uint32_t getPixel(const Surface& surface, int x, int y);

}  // namespace platform
}  // namespace vwt
