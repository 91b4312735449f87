#include "vwt/platform/RasterRects.h"

#include <pixman.h>

#include <algorithm>
#include <climits>

#include "vwt/platform/RasterLines.h"

namespace vwt {
namespace platform {

namespace {

// Below this many pixels a plain loop beats the call into pixman.
const int SMALL_FILL = 64;

int64_t clampCoord(int64_t v) { return std::max<int64_t>(INT_MIN / 4, std::min<int64_t>(INT_MAX / 4, v)); }

}  // namespace

void fillDeviceRect(Surface& surface, const PixelRect& rect, uint32_t rgb) {
  if (rect.x1 <= rect.x0 || rect.y1 <= rect.y0) return;
  const uint32_t pixel = 0xFF000000u | rgb;
  const PixelTarget& t = surface.target();
  for (const PixelRect& c : surface.clipRects()) {
    int x0 = std::max(rect.x0, c.x0), x1 = std::min(rect.x1, c.x1);
    int y0 = std::max(rect.y0, c.y0), y1 = std::min(rect.y1, c.y1);
    if (x0 >= x1 || y0 >= y1) continue;
    int w = x1 - x0, h = y1 - y0;
    if (w * h >= SMALL_FILL && pixman_fill(t.pixels, t.stride, 32, x0, y0, w, h, pixel)) {
      continue;
    }
    for (int y = y0; y < y1; ++y) std::fill_n(surface.row(y) + x0, w, pixel);
  }
}

void fillRect(Surface& surface, int x, int y, int w, int h, uint32_t rgb) {
  if (w <= 0 || h <= 0) return;
  int64_t x0 = clampCoord(int64_t{x} + surface.originX());
  int64_t y0 = clampCoord(int64_t{y} + surface.originY());
  PixelRect r;
  r.x0 = static_cast<int>(x0);
  r.y0 = static_cast<int>(y0);
  r.x1 = static_cast<int>(clampCoord(x0 + w));
  r.y1 = static_cast<int>(clampCoord(y0 + h));
  fillDeviceRect(surface, r, rgb);
}

void drawRectOutline(Surface& surface, int x, int y, int w, int h, uint32_t rgb) {
  // Four pen segments, each without its end point, which the next one starts at; the last one
  // ends where the first began.
  drawLine(surface, x, y, x + w, y, rgb);
  drawLine(surface, x + w, y, x + w, y + h, rgb);
  drawLine(surface, x + w, y + h, x, y + h, rgb);
  drawLine(surface, x, y + h, x, y, rgb);
}

void setPixel(Surface& surface, int x, int y, uint32_t rgb) {
  int64_t dx = int64_t{x} + surface.originX(), dy = int64_t{y} + surface.originY();
  for (const PixelRect& c : surface.clipRects()) {
    if (dx >= c.x0 && dx < c.x1 && dy >= c.y0 && dy < c.y1) {
      surface.row(static_cast<int>(dy))[dx] = 0xFF000000u | rgb;
      return;
    }
  }
}

uint32_t getPixel(const Surface& surface, int x, int y) {
  int64_t dx = int64_t{x} + surface.originX(), dy = int64_t{y} + surface.originY();
  if (dx < 0 || dy < 0 || dx >= surface.width() || dy >= surface.height()) return 0;
  return surface.row(static_cast<int>(dy))[dx] & 0x00FFFFFFu;
}

}  // namespace platform
}  // namespace vwt
