#include "browser/page/ImageMapPoint.h"

#include <cstdint>

#include "browser/page/RenderItem.h"

namespace {

bool contains(const RenderItem* item, int x, int y) {
  return x >= item->x && y >= item->y && x < item->x + item->width && y < item->y + item->height;
}

bool isMapPicture(const RenderItem* item) {
  return item && (item->type == RenderItem::IMAGE || item->type == RenderItem::IMAGE_ALT) &&
         (item->flags & ImageMapPoint::IMAGE_MAP);
}

int scaled(int v, int num, int den) { return static_cast<int>(static_cast<int64_t>(v) * num / den); }

}  // namespace

bool ImageMapPoint::find(const RenderItem* link, int pointerX, int pointerY, int zoom, bool reflow, int* x,
                         int* y) {
  if (!link || zoom <= 0) return false;
  int px = scaled(pointerX, 100, zoom), py = scaled(pointerY, 100, zoom);
  for (int i = 0; i < RenderItem::refCountOf(link); ++i) {
    RenderItem* picture = RenderItem::refOf(link, i);
    if (!isMapPicture(picture)) continue;
    if (!reflow) {
      if (!contains(picture, px, py)) continue;
      *x = px - picture->x;
      *y = py - picture->y;
      return true;
    }
    for (int k = 0; k < RenderItem::refCountOf(picture); ++k) {
      RenderItem* shown = RenderItem::refOf(picture, k);
      if (!shown || shown->width <= 0 || shown->height <= 0 || !contains(shown, pointerX, pointerY)) continue;
      *x = scaled(pointerX - shown->x, picture->width, shown->width);
      *y = scaled(pointerY - shown->y, picture->height, shown->height);
      return true;
    }
  }
  return false;
}
