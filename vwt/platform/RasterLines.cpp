#include "vwt/platform/RasterLines.h"

#include <algorithm>
#include <climits>

#include "vwt/platform/RasterRects.h"

namespace vwt {
namespace platform {

namespace {

// Coordinates are kept well inside int so that differences and doubled products cannot overflow.
int64_t limit(int64_t v) { return std::max<int64_t>(-(1 << 28), std::min<int64_t>(1 << 28, v)); }

}  // namespace

void drawLine(Surface& surface, int x1, int y1, int x2, int y2, uint32_t rgb) {
  const int64_t ax = limit(int64_t{x1} + surface.originX()), ay = limit(int64_t{y1} + surface.originY());
  const int64_t bx = limit(int64_t{x2} + surface.originX()), by = limit(int64_t{y2} + surface.originY());
  if (ax == bx && ay == by) return;
  if (ay == by) {
    PixelRect r;  // [a, b) or (b, a]
    r.x0 = static_cast<int>(ax < bx ? ax : bx + 1);
    r.x1 = static_cast<int>(ax < bx ? bx : ax + 1);
    r.y0 = static_cast<int>(ay);
    r.y1 = static_cast<int>(ay + 1);
    fillDeviceRect(surface, r, rgb);
    return;
  }
  if (ax == bx) {
    PixelRect r;
    r.y0 = static_cast<int>(ay < by ? ay : by + 1);
    r.y1 = static_cast<int>(ay < by ? by : ay + 1);
    r.x0 = static_cast<int>(ax);
    r.x1 = static_cast<int>(ax + 1);
    fillDeviceRect(surface, r, rgb);
    return;
  }
  const bool xMajor = std::llabs(bx - ax) >= std::llabs(by - ay);
  // Work along the major axis: position a0 + sa * i, minor m0 + sm * round(i * dm / da).
  const int64_t a0 = xMajor ? ax : ay, m0 = xMajor ? ay : ax;
  const int64_t da = std::llabs(xMajor ? bx - ax : by - ay), dm = std::llabs(xMajor ? by - ay : bx - ax);
  const int64_t sa = (xMajor ? bx > ax : by > ay) ? 1 : -1, sm = (xMajor ? by > ay : bx > ax) ? 1 : -1;
  const uint32_t pixel = 0xFF000000u | rgb;
  for (const PixelRect& c : surface.clipRects()) {
    // The steps whose major coordinate falls inside the clip rectangle.
    const int64_t lo = xMajor ? c.x0 : c.y0, hi = xMajor ? c.x1 : c.y1;  // [lo, hi)
    int64_t i0, i1;                                                      // [i0, i1)
    if (sa > 0) {
      i0 = lo - a0;
      i1 = hi - a0;
    } else {
      i0 = a0 - hi + 1;
      i1 = a0 - lo + 1;
    }
    i0 = std::max<int64_t>(i0, 0);
    i1 = std::min<int64_t>(i1, da);
    const int64_t mlo = xMajor ? c.y0 : c.x0, mhi = xMajor ? c.y1 : c.x1;
    for (int64_t i = i0; i < i1; ++i) {
      const int64_t m = m0 + sm * ((2 * i * dm + da - 1) / (2 * da));
      if (m < mlo || m >= mhi) continue;
      const int64_t a = a0 + sa * i;
      if (xMajor) {
        surface.row(static_cast<int>(m))[a] = pixel;
      } else {
        surface.row(static_cast<int>(a))[m] = pixel;
      }
    }
  }
}

}  // namespace platform
}  // namespace vwt
