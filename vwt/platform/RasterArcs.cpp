#include "vwt/platform/RasterArcs.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "vwt/platform/RasterRects.h"

namespace vwt {
namespace platform {

namespace {

// Larger boxes are cut: they would only be clipped away, and the row table must stay small.
const int MAX_SIDE = 1 << 15;

struct Span {
  int x0 = 0, x1 = -1;  // inclusive; empty when x1 < x0
};

// The ellipse's span on each row of the box, relative to the box's left edge.
std::vector<Span> spans(int w, int h) {
  std::vector<Span> rows(static_cast<size_t>(h));
  const double rx = w / 2.0, ry = h / 2.0;
  for (int j = 0; j < h; ++j) {
    const double dy = (j + 0.5 - ry) / ry;
    const double half = rx * std::sqrt(std::max(0.0, 1.0 - dy * dy));
    Span s;
    s.x0 = static_cast<int>(std::ceil(rx - half - 0.5));
    s.x1 = static_cast<int>(std::floor(rx + half - 0.5));
    if (s.x1 < s.x0) {  // a row thinner than a pixel keeps its middle pixel(s), so the outline stays closed
      s.x0 = static_cast<int>(std::floor(rx - 0.5));
      s.x1 = static_cast<int>(std::ceil(rx - 0.5));
    }
    rows[static_cast<size_t>(j)] = s;
  }
  return rows;
}

bool boxOk(int w, int h) { return w > 0 && h > 0 && w <= MAX_SIDE && h <= MAX_SIDE; }

void row(Surface& surface, int x, int y, int from, int to, uint32_t rgb) {
  if (to >= from) fillRect(surface, x + from, y, to - from + 1, 1, rgb);
}

}  // namespace

void fillEllipse(Surface& surface, int x, int y, int w, int h, uint32_t rgb) {
  if (!boxOk(w, h)) return;
  std::vector<Span> rows = spans(w, h);
  for (int j = 0; j < h; ++j) row(surface, x, y + j, rows[j].x0, rows[j].x1, rgb);
}

void drawEllipse(Surface& surface, int x, int y, int w, int h, uint32_t rgb) {
  if (!boxOk(w, h)) return;
  std::vector<Span> rows = spans(w, h);
  const Span none;
  for (int j = 0; j < h; ++j) {
    const Span& s = rows[j];
    const Span& up = j > 0 ? rows[j - 1] : none;
    const Span& down = j + 1 < h ? rows[j + 1] : none;
    // Inner pixels: both horizontal neighbours in this row and the pixels above and below inside.
    int in0 = std::max({s.x0 + 1, up.x0, down.x0});
    int in1 = std::min({s.x1 - 1, up.x1, down.x1});
    if (in1 < in0) {
      row(surface, x, y + j, s.x0, s.x1, rgb);
    } else {
      row(surface, x, y + j, s.x0, in0 - 1, rgb);
      row(surface, x, y + j, in1 + 1, s.x1, rgb);
    }
  }
}

}  // namespace platform
}  // namespace vwt
