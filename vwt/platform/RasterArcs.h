#pragma once

#include <cstdint>

#include "vwt/platform/Surface.h"

namespace vwt {
namespace platform {

// Whole ellipses inscribed in the box x..x+w-1 by y..y+h-1 (the box's right and bottom edges are
// outside, as for every bounding box of a shape): a pixel belongs to the ellipse when its centre does.
// The outline is the ellipse's pixels that have a horizontal or vertical neighbour outside it.
// Nothing when w or h is not positive. Logical coordinates, clipped, opaque 0x00RRGGBB.
void drawEllipse(Surface& surface, int x, int y, int w, int h, uint32_t rgb);
void fillEllipse(Surface& surface, int x, int y, int w, int h, uint32_t rgb);

}  // namespace platform
}  // namespace vwt
