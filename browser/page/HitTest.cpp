#include "browser/page/HitTest.h"

#include <algorithm>
#include <cstdint>

namespace {

// Reference i of item when it is an item: boxed indexes and empty references are skipped.

// A rectangle in zoomed page pixels, wide enough for any page claim at any zoom.
struct Rect {
  int64_t x, y, w, h;
  bool contains(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

const int64_t MAX_RADIUS = int64_t{1} << 30;

int64_t zoomed(int v, int zoom) { return static_cast<int64_t>(v) * zoom / 100; }

// Derived items of the reflow layout are in view pixels already: they are never zoomed again.
Rect boxOf(const RenderItem* item, int zoom, bool reflow) {
  if (reflow) return Rect{item->x, item->y, item->width, item->height};
  return Rect{zoomed(item->x, zoom), zoomed(item->y, zoom), zoomed(item->width, zoom),
              zoomed(item->height, zoom)};
}

// The item a CONTROL shows itself through: its position-0 reference.
RenderItem* controlItemOf(const RenderItem* control) { return RenderItem::refOf(control, 0); }

// An AREA's shape (kept in color) tested at its own rectangle or circle; layout mode only.
bool areaContains(const RenderItem* area, int x, int y, int zoom) {
  if (area->color == HitTest::SHAPE_CIRCLE) {
    int64_t dx = static_cast<int64_t>(x) - zoomed(area->x, zoom);
    int64_t dy = static_cast<int64_t>(y) - zoomed(area->y, zoom);
    // A radius no screen needs keeps the squares below 2^62.
    int64_t r = std::min<int64_t>(zoomed(area->width, zoom), MAX_RADIUS);
    if (r < 0 || dx > r || dx < -r || dy > r || dy < -r) return false;
    return r * r >= dx * dx + dy * dy;
  }
  if (area->color == HitTest::SHAPE_RECTANGLE || area->color == HitTest::SHAPE_POLYGON)
    return boxOf(area, zoom, false).contains(x, y);
  return false;
}

bool linkContains(const RenderItem* link, int x, int y, int zoom, bool reflow) {
  for (int i = 0; i < RenderItem::refCountOf(link); ++i) {
    RenderItem* part = RenderItem::refOf(link, i);
    if (!part) continue;
    if (!reflow) {
      if (boxOf(part, zoom, false).contains(x, y)) return true;
      continue;
    }
    for (int k = 0; k < RenderItem::refCountOf(part); ++k) {
      RenderItem* derived = RenderItem::refOf(part, k);
      if (derived && boxOf(derived, zoom, true).contains(x, y)) return true;
    }
  }
  return false;
}

// The item under (x, y) a CONTROL is shown through (in reflow a derived control), or null.
RenderItem* controlFoundAt(const RenderItem* control, int x, int y, int zoom, bool reflow) {
  RenderItem* item = controlItemOf(control);
  if (!item) return nullptr;
  if (!reflow) return boxOf(item, zoom, false).contains(x, y) ? item : nullptr;
  for (int k = 0; k < RenderItem::refCountOf(item); ++k) {
    RenderItem* derived = RenderItem::refOf(item, k);
    if (derived && boxOf(derived, zoom, true).contains(x, y)) return derived;
  }
  return nullptr;
}

void append(const Rect& r, std::vector<int>* rects) {
  if (r.w <= 0 || r.h <= 0) return;
  auto clamp = [](int64_t v) {
    return static_cast<int>(v < INT32_MIN ? INT32_MIN : (v > INT32_MAX ? INT32_MAX : v));
  };
  rects->push_back(clamp(r.x));
  rects->push_back(clamp(r.y));
  rects->push_back(clamp(r.w));
  rects->push_back(clamp(r.h));
}

}  // namespace

RenderItem* HitTest::at(Page& page, int x, int y, int zoom, bool reflow) {
  Vector<RenderItem*>* structure = page.structure.get();
  if (!structure) return nullptr;
  for (int i = 0; i < structure->size(); ++i) {
    RenderItem* s = structure->elementAt(i);
    if (!s) continue;
    switch (s->type) {
      case RenderItem::LINK:
        if (linkContains(s, x, y, zoom, reflow)) return s;
        break;
      case RenderItem::CONTROL: {
        RenderItem* found = controlFoundAt(s, x, y, zoom, reflow);
        if (!found) break;
        // The open list is made over the derived control the user picked.
        if (reflow) s->source = found;
        return s;
      }
      case RenderItem::AREA:
        if (!reflow && areaContains(s, x, y, zoom)) return s;
        break;
      default:
        break;
    }
  }
  return nullptr;
}

void HitTest::outline(RenderItem* structureItem, int zoom, bool reflow, std::vector<int>* rects) {
  if (!structureItem || !rects) return;
  switch (structureItem->type) {
    case RenderItem::LINK:
      for (int i = 0; i < RenderItem::refCountOf(structureItem); ++i) {
        RenderItem* part = RenderItem::refOf(structureItem, i);
        if (!part) continue;
        if (!reflow) {
          append(boxOf(part, zoom, false), rects);
          continue;
        }
        for (int k = 0; k < RenderItem::refCountOf(part); ++k) {
          RenderItem* derived = RenderItem::refOf(part, k);
          if (derived) append(boxOf(derived, zoom, true), rects);
        }
      }
      break;
    case RenderItem::CONTROL: {
      RenderItem* item = controlItemOf(structureItem);
      if (!item) break;
      if (!reflow) {
        append(boxOf(item, zoom, false), rects);
        break;
      }
      for (int k = 0; k < RenderItem::refCountOf(item); ++k) {
        RenderItem* derived = RenderItem::refOf(item, k);
        if (derived) append(boxOf(derived, zoom, true), rects);
      }
      break;
    }
    case RenderItem::AREA: {
      if (reflow) break;
      if (structureItem->color == SHAPE_CIRCLE) {
        int64_t r = zoomed(structureItem->width, zoom);
        append(Rect{zoomed(structureItem->x, zoom) - r, zoomed(structureItem->y, zoom) - r, 2 * r + 1,
                    2 * r + 1},
               rects);
      } else if (structureItem->color == SHAPE_RECTANGLE || structureItem->color == SHAPE_POLYGON) {
        append(boxOf(structureItem, zoom, false), rects);
      }
      break;
    }
    default:
      break;
  }
}
