#pragma once

#include <cstdint>

#include "vwt/platform/Surface.h"

namespace vwt {
namespace platform {

// A closed polygon filled with the even-odd rule (pixel (x, y) is inside when the point (x, y) is, the
// left and top edges included) and bordered
// by pen lines along its edges in the same colour, so the vertices and edges are always covered.
// Nothing for n <= 0. Logical coordinates, clipped, opaque 0x00RRGGBB.
void fillPolygon(Surface& surface, const int* xs, const int* ys, int n, uint32_t rgb);

}  // namespace platform
}  // namespace vwt
