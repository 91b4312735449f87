#include "browser/page/DrawingRoutines.h"

#include <cstdint>

#include "vwt/ui/Graphics.h"
#include "vwt/ui/Image.h"

namespace {
int channel(int colour, int shift) {
  return static_cast<int>((static_cast<uint32_t>(colour) >> shift) & 255u);
}

int blend(int top, int bottom, int k, int steps) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    int a = channel(top, shift), b = channel(bottom, shift);
    out |= static_cast<uint32_t>(a + (b - a) * k / steps) << shift;
  }
  return static_cast<int>(out);
}
}  // namespace

void DrawingRoutines::verticalGradient(Graphics& g, int x, int y, int w, int h, int top, int bottom) {
  if (w < 1 || h < 1) return;
  const int bands = 12;
  for (int k = 0; k < bands; ++k) {
    // In 64 bits: a page may claim a control of any height.
    int from = static_cast<int>(static_cast<int64_t>(h) * k / bands);
    int to = static_cast<int>(static_cast<int64_t>(h) * (k + 1) / bands);
    if (to <= from) continue;
    g.setColorARGB(blend(top, bottom, k, bands));
    g.fillRect(x, y + from, w, to - from);
  }
}

void DrawingRoutines::dropShadow(Graphics& g, int x, int y, int w, int h) {
  static const int strips[4] = {static_cast<int>(0xA0000000u), 0x70000000, 0x40000000, 0x10000000};
  int right = x + w, bottom = y + h;
  for (int i = 0; i < 4; ++i) {
    g.setColorARGB(strips[i]);
    int off = 2 * i;
    // Along the right edge, then the bottom, each starting 6 pixels in.
    g.fillRect(right + off, y + 6 + off, 2, h - 6);
    g.fillRect(x + 6 + off, bottom + off, w - 6, 2);
  }
  // Stepped corner at the bottom right.
  for (int i = 1; i < 4; ++i) {
    g.setColorARGB(strips[i]);
    g.fillRect(right + 2 * (i - 1), bottom + 2 * (i - 1), 2, 2);
  }
}

void DrawingRoutines::drawIcon(Graphics& g, Image* strip, int n, int x, int y, int zoom) {
  if (!strip || n < 0) return;
  if (n == CLOSE_MARK) {
    g.drawImage(strip, x, y, 300, 12, 2 * ICON_SIZE, ICON_SIZE);
    return;
  }
  int sx = (n % ICONS_PER_ROW) * ICON_SIZE, sy = (n / ICONS_PER_ROW) * ICON_SIZE;
  if (sx + ICON_SIZE > strip->getWidth() || sy + ICON_SIZE > strip->getHeight()) return;
  int size = zoom * ICON_SIZE / 100;
  if (size < 1) return;
  if (size == ICON_SIZE)
    g.drawImage(strip, x, y, sx, sy, ICON_SIZE, ICON_SIZE);
  else
    g.drawScaledImage(strip, x, y, size, size, sx, sy, ICON_SIZE, ICON_SIZE);
}

void DrawingRoutines::fillPolygon(Graphics& g, const int* xs, const int* ys, int n, int dx, int dy,
                                  int colour) {
  if (n <= 0 || n > MAX_POLYGON_POINTS) return;
  int px[MAX_POLYGON_POINTS], py[MAX_POLYGON_POINTS];
  for (int i = 0; i < n; ++i) {
    px[i] = xs[i] + dx;
    py[i] = ys[i] + dy;
  }
  g.setColorARGB(colour);
  g.fillPolygon(px, py, n);
}
