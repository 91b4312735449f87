#include "vwt/platform/RasterBlits.h"

#include <pixman.h>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

namespace vwt {
namespace platform {

namespace {

// Pictures are handset-sized; anything larger is cut rather than risking overflowing products.
const int64_t LIMIT = 1 << 24;

int64_t bound(int64_t v) { return std::max(-LIMIT * 4, std::min(LIMIT * 4, v)); }

PixelRect rectAt(int64_t x, int64_t y, int64_t w, int64_t h) {
  PixelRect r;
  r.x0 = static_cast<int>(bound(x));
  r.y0 = static_cast<int>(bound(y));
  r.x1 = static_cast<int>(bound(x + w));
  r.y1 = static_cast<int>(bound(y + h));
  return r;
}

bool intersect(const PixelRect& a, const PixelRect& b, PixelRect* out) {
  out->x0 = std::max(a.x0, b.x0);
  out->y0 = std::max(a.y0, b.y0);
  out->x1 = std::min(a.x1, b.x1);
  out->y1 = std::min(a.y1, b.y1);
  return out->x0 < out->x1 && out->y0 < out->y1;
}

// The unscaled copies: dest is a device rectangle, (sx, sy) its source corner in source pixels.
// `store` writes one row of n pixels.
template <typename Store>
void copyRows(Surface& dst, PixelRect dest, const Surface& src, int64_t sx, int64_t sy, Store store) {
  // Cut the source to the source surface, moving the destination with it.
  PixelRect s = rectAt(sx, sy, dest.x1 - dest.x0, dest.y1 - dest.y0), inSrc;
  PixelRect all = rectAt(0, 0, src.width(), src.height());
  if (!intersect(s, all, &inSrc)) return;
  dest = rectAt(dest.x0 + (inSrc.x0 - s.x0), dest.y0 + (inSrc.y0 - s.y0), inSrc.x1 - inSrc.x0,
                inSrc.y1 - inSrc.y0);
  sx = inSrc.x0;
  sy = inSrc.y0;
  const bool same = &dst == &src;
  // Several clip rectangles over one surface: an earlier one could overwrite what a later one reads.
  std::vector<uint32_t> held;
  const uint32_t* from = nullptr;
  ptrdiff_t fromStride = 0;
  const int w = dest.x1 - dest.x0, h = dest.y1 - dest.y0;
  if (same && dst.clipRects().size() > 1) {
    held.resize(static_cast<size_t>(w) * h);
    for (int j = 0; j < h; ++j) std::memcpy(&held[size_t(j) * w], src.row(int(sy) + j) + sx, size_t(w) * 4);
    from = held.data();
    fromStride = w;
  } else {
    from = src.row(int(sy)) + sx;
    fromStride = src.target().stride;
  }
  for (const PixelRect& c : dst.clipRects()) {
    PixelRect d;
    if (!intersect(dest, c, &d)) continue;
    const int n = d.x1 - d.x0;
    const uint32_t* base = from + (d.y0 - dest.y0) * fromStride + (d.x0 - dest.x0);
    const int rows = d.y1 - d.y0;
    // Whole rows on both sides, as a page copied to the screen: one run instead of a call per row.
    if (!same && n == dst.target().stride && n == fromStride) {
      store(dst.row(d.y0) + d.x0, base, n * rows);
      continue;
    }
    // Bottom-up when the destination lies below the source in the same pixels.
    const bool upwards = same && held.empty() && sy < dest.y0;
    for (int k = 0; k < rows; ++k) {
      const int j = upwards ? rows - 1 - k : k;
      store(dst.row(d.y0 + j) + d.x0, base + j * fromStride, n);
    }
  }
}

// One row of a colour-keyed copy: source pixels of the key colour leave the destination alone.
void keyedRow(uint32_t* to, const uint32_t* from, int n, uint32_t key) {
  int i = 0;
#ifdef __SSE2__
  // Four pixels at a time: compare, then blend source and destination by the mask.
  const __m128i rgb = _mm_set1_epi32(0x00FFFFFF), opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u)),
                keys = _mm_set1_epi32(static_cast<int>(key));
  for (; i + 4 <= n; i += 4) {
    const __m128i s = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i)), rgb);
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(to + i));
    const __m128i same = _mm_cmpeq_epi32(s, keys);
    const __m128i r = _mm_or_si128(_mm_and_si128(same, d), _mm_andnot_si128(same, _mm_or_si128(s, opaque)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i), r);
  }
#endif
  for (; i < n; ++i) {
    const uint32_t p = from[i] & 0x00FFFFFFu;
    if (p != key) to[i] = p | 0xFF000000u;
  }
}

// Nearest source index of each destination step: centre of pixel u maps to sx + (u + 0.5) * sw / dw,
// repeated at the source's edges.
std::vector<int> nearest(int64_t s0, int64_t sn, int64_t dn, int64_t from, int64_t to, int size) {
  std::vector<int> out;
  out.reserve(size_t(to - from));
  for (int64_t u = from; u < to; ++u) {
    int64_t v = s0 + ((2 * u + 1) * sn) / (2 * dn);
    out.push_back(static_cast<int>(std::max<int64_t>(0, std::min<int64_t>(size - 1, v))));
  }
  return out;
}

// With sameRowsRepeat, a destination row from the same source row as the one above is a copy of it
// (the store does not depend on what the destination held).
template <typename Store>
void stretchRows(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy, int sw, int sh,
                 bool sameRowsRepeat, Store store) {
  if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0 || src.width() <= 0 || src.height() <= 0) return;
  const PixelRect dest = rectAt(int64_t{x} + dst.originX(), int64_t{y} + dst.originY(), w, h);
  for (const PixelRect& c : dst.clipRects()) {
    PixelRect d;
    if (!intersect(dest, c, &d)) continue;
    std::vector<int> xs = nearest(sx, sw, w, d.x0 - dest.x0, d.x1 - dest.x0, src.width());
    std::vector<int> ys = nearest(sy, sh, h, d.y0 - dest.y0, d.y1 - dest.y0, src.height());
    const int n = d.x1 - d.x0;
    for (int j = 0; j < d.y1 - d.y0; ++j) {
      uint32_t* to = dst.row(d.y0 + j) + d.x0;
      if (sameRowsRepeat && j > 0 && ys[j] == ys[j - 1] && &dst != &src) {
        std::memcpy(to, dst.row(d.y0 + j - 1) + d.x0, size_t(n) * 4);
      } else {
        store(to, src.row(ys[j]), xs.data(), n);
      }
    }
  }
}

// A pixman view of pixels (no copy).
pixman_image_t* view(const PixelTarget& t) {
  return pixman_image_create_bits(PIXMAN_a8r8g8b8, t.width, t.height, t.pixels, t.stride * 4);
}

// Source pixels scaled onto dest, composited per clip rectangle with op and an optional mask.
void compositeScaled(pixman_op_t op, Surface& dst, int x, int y, int w, int h, pixman_image_t* source, int sx,
                     int sy, int sw, int sh, pixman_image_t* mask) {
  pixman_transform_t m;
  pixman_transform_init_identity(&m);
  m.matrix[0][0] = pixman_double_to_fixed(double(sw) / w);
  m.matrix[1][1] = pixman_double_to_fixed(double(sh) / h);
  m.matrix[0][2] = pixman_int_to_fixed(sx);
  m.matrix[1][2] = pixman_int_to_fixed(sy);
  pixman_image_set_transform(source, &m);
  pixman_image_set_filter(source, PIXMAN_FILTER_NEAREST, nullptr, 0);
  pixman_image_set_repeat(source, PIXMAN_REPEAT_PAD);
  pixman_image_t* target = view(dst.target());
  const PixelRect dest = rectAt(int64_t{x} + dst.originX(), int64_t{y} + dst.originY(), w, h);
  for (const PixelRect& c : dst.clipRects()) {
    PixelRect d;
    if (!intersect(dest, c, &d)) continue;
    pixman_image_composite32(op, source, mask, target, d.x0 - dest.x0, d.y0 - dest.y0, 0, 0, d.x0, d.y0,
                             d.x1 - d.x0, d.y1 - d.y0);
  }
  pixman_image_unref(target);
}

}  // namespace

void copyArea(Surface& surface, int x, int y, int w, int h, int dx, int dy) {
  if (w <= 0 || h <= 0) return;
  const int64_t sx = int64_t{x} + surface.originX(), sy = int64_t{y} + surface.originY();
  copyRows(surface, rectAt(sx + dx, sy + dy, w, h), surface, sx, sy,
           [](uint32_t* to, const uint32_t* from, int n) { std::memmove(to, from, size_t(n) * 4); });
}

void copy(Surface& dst, int x, int y, const Surface& src, int sx, int sy, int w, int h) {
  if (w <= 0 || h <= 0) return;
  copyRows(dst, rectAt(int64_t{x} + dst.originX(), int64_t{y} + dst.originY(), w, h), src, sx, sy,
           [](uint32_t* to, const uint32_t* from, int n) { std::memmove(to, from, size_t(n) * 4); });
}

void copyKeyed(Surface& dst, int x, int y, const Surface& src, int sx, int sy, int w, int h,
               uint32_t keyRgb) {
  if (w <= 0 || h <= 0) return;
  const uint32_t key = keyRgb & 0x00FFFFFFu;
  copyRows(dst, rectAt(int64_t{x} + dst.originX(), int64_t{y} + dst.originY(), w, h), src, sx, sy,
           [key](uint32_t* to, const uint32_t* from, int n) { keyedRow(to, from, n, key); });
}

void stretch(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy, int sw, int sh) {
  if (w == sw && h == sh && sx >= 0 && sy >= 0 && int64_t{sx} + sw <= src.width() &&
      int64_t{sy} + sh <= src.height()) {
    copy(dst, x, y, src, sx, sy, w, h);
    return;
  }
  stretchRows(dst, x, y, w, h, src, sx, sy, sw, sh, true,
              [](uint32_t* to, const uint32_t* row, const int* xs, int n) {
                for (int i = 0; i < n; ++i) to[i] = row[xs[i]] | 0xFF000000u;
              });
}

void stretchKeyed(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy, int sw,
                  int sh, uint32_t keyRgb) {
  const uint32_t key = keyRgb & 0x00FFFFFFu;
  stretchRows(dst, x, y, w, h, src, sx, sy, sw, sh, false,
              [key](uint32_t* to, const uint32_t* row, const int* xs, int n) {
                for (int i = 0; i < n; ++i) {
                  const uint32_t p = row[xs[i]] & 0x00FFFFFFu;
                  if (p != key) to[i] = p | 0xFF000000u;
                }
              });
}

void blendStretch(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy, int sw,
                  int sh, int alpha) {
  if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0 || src.width() <= 0 || src.height() <= 0) return;
  alpha = std::max(0, std::min(255, alpha));
  if (alpha == 0) return;
  pixman_color_t a = {0, 0, 0, static_cast<uint16_t>(alpha * 0x101)};
  pixman_image_t* mask = pixman_image_create_solid_fill(&a);
  pixman_image_t* source;
  if (src.width() == 1 && src.height() == 1) {
    // One pixel stretched is one colour: pixman's solid path.
    const uint32_t p = src.row(0)[0];
    pixman_color_t c = {static_cast<uint16_t>(((p >> 16) & 0xFF) * 0x101),
                        static_cast<uint16_t>(((p >> 8) & 0xFF) * 0x101),
                        static_cast<uint16_t>((p & 0xFF) * 0x101), 0xFFFF};
    source = pixman_image_create_solid_fill(&c);
    const PixelRect dest = rectAt(int64_t{x} + dst.originX(), int64_t{y} + dst.originY(), w, h);
    pixman_image_t* target = view(dst.target());
    for (const PixelRect& c : dst.clipRects()) {
      PixelRect d;
      if (!intersect(dest, c, &d)) continue;
      pixman_image_composite32(PIXMAN_OP_OVER, source, mask, target, 0, 0, 0, 0, d.x0, d.y0, d.x1 - d.x0,
                               d.y1 - d.y0);
    }
    pixman_image_unref(target);
  } else {
    // Device pixels are opaque whatever their alpha byte says.
    source = pixman_image_create_bits(PIXMAN_x8r8g8b8, src.width(), src.height(), src.target().pixels,
                                      src.target().stride * 4);
    compositeScaled(PIXMAN_OP_OVER, dst, x, y, w, h, source, sx, sy, sw, sh, mask);
  }
  pixman_image_unref(source);
  pixman_image_unref(mask);
}

void composite(Surface& dst, int x, int y, int w, int h, const PixelTarget& picture, int sx, int sy, int sw,
               int sh) {
  if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0 || picture.width <= 0 || picture.height <= 0) return;
  pixman_image_t* source = view(picture);
  compositeScaled(PIXMAN_OP_OVER, dst, x, y, w, h, source, sx, sy, sw, sh, nullptr);
  pixman_image_unref(source);
}

}  // namespace platform
}  // namespace vwt
