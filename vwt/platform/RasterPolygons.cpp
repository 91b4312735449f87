#include "vwt/platform/RasterPolygons.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "vwt/platform/RasterLines.h"
#include "vwt/platform/RasterRects.h"

namespace vwt {
namespace platform {

void fillPolygon(Surface& surface, const int* xs, const int* ys, int n, uint32_t rgb) {
  if (n <= 0 || xs == nullptr || ys == nullptr) return;
  // Only the rows that can be seen are scanned: the clip's bounds, in logical coordinates.
  PixelRect visible = surface.clipRegion().bounds();
  int yMin = ys[0], yMax = ys[0];
  for (int i = 1; i < n; ++i) {
    yMin = std::min(yMin, ys[i]);
    yMax = std::max(yMax, ys[i]);
  }
  int64_t from = std::max<int64_t>(yMin, int64_t{visible.y0} - surface.originY());
  int64_t to = std::min<int64_t>(yMax, int64_t{visible.y1} - surface.originY());
  const int64_t left = int64_t{visible.x0} - surface.originX(),
                right = int64_t{visible.x1} - surface.originX();
  std::vector<double> crossings;
  for (int64_t y = from; y < to; ++y) {
    const double cy = static_cast<double>(y);
    crossings.clear();
    for (int i = 0; i < n; ++i) {
      const int j = (i + 1) % n;
      const double y0 = ys[i], y1 = ys[j];
      if ((y0 <= cy) == (y1 <= cy)) continue;  // horizontal or not crossing this row
      crossings.push_back(xs[i] + (cy - y0) * (double(xs[j]) - xs[i]) / (y1 - y0));
    }
    std::sort(crossings.begin(), crossings.end());
    for (size_t k = 0; k + 1 < crossings.size(); k += 2) {
      // Pixels x in [a, b): the pen's grid, where a pixel sits on its integer coordinate.
      const int64_t a = std::max<int64_t>(static_cast<int64_t>(std::ceil(crossings[k])), left);
      const int64_t b = std::min<int64_t>(static_cast<int64_t>(std::ceil(crossings[k + 1])), right);
      if (b > a) fillRect(surface, static_cast<int>(a), static_cast<int>(y), static_cast<int>(b - a), 1, rgb);
    }
  }
  for (int i = 0; i < n; ++i) {
    const int j = (i + 1) % n;
    drawLine(surface, xs[i], ys[i], xs[j], ys[j], rgb);
  }
}

}  // namespace platform
}  // namespace vwt
