#pragma once

#include <cstdint>

#include "vwt/platform/Surface.h"

namespace vwt {
namespace platform {

// Copies between surfaces. Destination rectangles are logical and clipped; source rectangles are
// in the source's own pixels (its origin and clip do not apply). Unscaled, the part of a source
// rectangle outside the source is left out; scaled, it repeats the nearest edge pixel. Scaling picks
// the nearest source pixel of each destination pixel's centre. Non-positive sizes draw nothing.

// Within one surface, from (x, y) to (x + dx, y + dy), both logical; overlap-safe.
void copyArea(Surface& surface, int x, int y, int w, int h, int dx, int dy);
// Opaque copy.
void copy(Surface& dst, int x, int y, const Surface& src, int sx, int sy, int w, int h);
// Source pixels whose colour is keyRgb (0x00RRGGBB) leave the destination as it was.
void copyKeyed(Surface& dst, int x, int y, const Surface& src, int sx, int sy, int w, int h, uint32_t keyRgb);
void stretch(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy, int sw, int sh);
void stretchKeyed(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy, int sw,
                  int sh, uint32_t keyRgb);
// The source blended over the destination with one alpha for every pixel (0 invisible, 255 opaque).
void blendStretch(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy, int sw,
                  int sh, int alpha);
// A decoded picture in premultiplied ARGB composited over the destination with its own alpha.
void composite(Surface& dst, int x, int y, int w, int h, const PixelTarget& picture, int sx, int sy, int sw,
               int sh);

}  // namespace platform
}  // namespace vwt
