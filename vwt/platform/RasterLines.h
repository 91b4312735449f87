#pragma once

#include <cstdint>

#include "vwt/platform/Surface.h"

namespace vwt {
namespace platform {

// A 1-pixel pen line from (x1, y1) towards (x2, y2), the end point itself not drawn, so that
// joined segments touch without overlapping; a line to its own start draws nothing. Pixels follow
// Bresenham's choice on the major axis; a minor coordinate exactly half-way rounds towards the start.
// Logical coordinates, clipped, opaque 0x00RRGGBB.
void drawLine(Surface& surface, int x1, int y1, int x2, int y2, uint32_t rgb);

}  // namespace platform
}  // namespace vwt
