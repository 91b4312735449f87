#include "vwt/platform/Surface.h"

#include <climits>

namespace vwt {
namespace platform {

namespace {

// x..x+w in int64 and clamped: a huge width from a caller must not wrap around.
PixelRect deviceRect(int ox, int oy, int x, int y, int w, int h) {
  auto clamp = [](int64_t v) {
    return static_cast<int>(v < INT_MIN / 2 ? INT_MIN / 2 : (v > INT_MAX / 2 ? INT_MAX / 2 : v));
  };
  PixelRect r;
  r.x0 = clamp(int64_t{x} + ox);
  r.y0 = clamp(int64_t{y} + oy);
  r.x1 = clamp(int64_t{x} + ox + (w > 0 ? w : 0));
  r.y1 = clamp(int64_t{y} + oy + (h > 0 ? h : 0));
  return r;
}

}  // namespace

Surface::Surface(int width, int height) {
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  owned_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0xFF000000u);
  target_.pixels = owned_.data();
  target_.stride = width;
  target_.width = width;
  target_.height = height;
  update();
}

Surface::Surface(const PixelTarget& borrowed) : target_(borrowed) { update(); }

void Surface::setOrigin(int x, int y) {
  originX_ = x;
  originY_ = y;
}

void Surface::setClip(int x, int y, int w, int h) {
  clip_.reset(deviceRect(originX(), originY(), x, y, w, h));
  hasClip_ = true;
  update();
}

void Surface::intersectClip(int x, int y, int w, int h) {
  PixelRegion r(deviceRect(originX(), originY(), x, y, w, h));
  if (hasClip_) {
    clip_.combine(r, PixelRegion::AND);
  } else {
    clip_ = r;
    hasClip_ = true;
  }
  update();
}

void Surface::clearClip() {
  hasClip_ = false;
  update();
}

void Surface::setBase(int originX, int originY, const PixelRegion& visible) {
  baseX_ = originX;
  baseY_ = originY;
  base_ = visible;
  hasBase_ = true;
  originX_ = originY_ = 0;
  hasClip_ = false;
  update();
}

void Surface::clearBase() {
  baseX_ = baseY_ = 0;
  hasBase_ = false;
  originX_ = originY_ = 0;
  hasClip_ = false;
  update();
}

void Surface::update() {
  PixelRect all;
  all.x1 = target_.width;
  all.y1 = target_.height;
  effective_.reset(all);
  if (hasBase_) effective_.combine(base_, PixelRegion::AND);
  if (hasClip_) effective_.combine(clip_, PixelRegion::AND);
  clipRects_ = effective_.rects();
}

}  // namespace platform
}  // namespace vwt
