#include "vwt/platform/PixelRegion.h"

#include <pixman.h>

namespace vwt {
namespace platform {

struct PixelRegion::Body {
  pixman_region32_t region;
  Body() { pixman_region32_init(&region); }
  ~Body() { pixman_region32_fini(&region); }
};

namespace {

void setRect(pixman_region32_t* r, const PixelRect& rect) {
  pixman_region32_fini(r);
  if (rect.x1 > rect.x0 && rect.y1 > rect.y0) {
    pixman_region32_init_rect(r, rect.x0, rect.y0, static_cast<unsigned>(rect.x1 - rect.x0),
                              static_cast<unsigned>(rect.y1 - rect.y0));
  } else {
    pixman_region32_init(r);
  }
}

}  // namespace

PixelRegion::PixelRegion() : body_(new Body) {}

PixelRegion::PixelRegion(const PixelRect& rect) : body_(new Body) { reset(rect); }

PixelRegion::PixelRegion(const PixelRegion& other) : body_(new Body) {
  pixman_region32_copy(&body_->region, &other.body_->region);
}

PixelRegion& PixelRegion::operator=(const PixelRegion& other) {
  if (this != &other) pixman_region32_copy(&body_->region, &other.body_->region);
  return *this;
}

PixelRegion::~PixelRegion() = default;

void PixelRegion::reset(const PixelRect& rect) { setRect(&body_->region, rect); }

bool PixelRegion::combine(const PixelRegion& other, int mode) {
  pixman_region32_t* r = &body_->region;
  const pixman_region32_t* o = &other.body_->region;
  switch (mode) {
    case AND:
      pixman_region32_intersect(r, r, const_cast<pixman_region32_t*>(o));
      return true;
    case OR:
      pixman_region32_union(r, r, const_cast<pixman_region32_t*>(o));
      return true;
    case XOR: {
      pixman_region32_t both, either;
      pixman_region32_init(&both);
      pixman_region32_init(&either);
      pixman_region32_intersect(&both, r, const_cast<pixman_region32_t*>(o));
      pixman_region32_union(&either, r, const_cast<pixman_region32_t*>(o));
      pixman_region32_subtract(r, &either, &both);
      pixman_region32_fini(&both);
      pixman_region32_fini(&either);
      return true;
    }
    case DIFF:
      pixman_region32_subtract(r, r, const_cast<pixman_region32_t*>(o));
      return true;
    case COPY:
      pixman_region32_copy(r, const_cast<pixman_region32_t*>(o));
      return true;
    default:
      return false;
  }
}

void PixelRegion::translate(int dx, int dy) { pixman_region32_translate(&body_->region, dx, dy); }

bool PixelRegion::isEmpty() const {
  return !pixman_region32_not_empty(const_cast<pixman_region32_t*>(&body_->region));
}

bool PixelRegion::contains(int x, int y) const {
  return pixman_region32_contains_point(const_cast<pixman_region32_t*>(&body_->region), x, y, nullptr);
}

PixelRect PixelRegion::bounds() const {
  const pixman_box32_t* b = pixman_region32_extents(const_cast<pixman_region32_t*>(&body_->region));
  PixelRect r;
  if (isEmpty()) return r;
  r.x0 = b->x1;
  r.y0 = b->y1;
  r.x1 = b->x2;
  r.y1 = b->y2;
  return r;
}

std::vector<PixelRect> PixelRegion::rects() const {
  int n = 0;
  const pixman_box32_t* boxes =
      pixman_region32_rectangles(const_cast<pixman_region32_t*>(&body_->region), &n);
  std::vector<PixelRect> out;
  out.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    PixelRect r;
    r.x0 = boxes[i].x1;
    r.y0 = boxes[i].y1;
    r.x1 = boxes[i].x2;
    r.y1 = boxes[i].y2;
    out.push_back(r);
  }
  return out;
}

}  // namespace platform
}  // namespace vwt
