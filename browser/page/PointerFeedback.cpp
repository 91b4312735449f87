#include "browser/page/PointerFeedback.h"

#include "browser/page/HitTest.h"
#include "browser/page/ImageMapPoint.h"
#include "browser/page/Page.h"
#include "browser/page/PageRenderer.h"
#include "browser/page/RenderItem.h"
#include "vwt/ui/Graphics.h"

namespace {

int zoomed(int v, int zoom) { return static_cast<int>(static_cast<int64_t>(v) * zoom / 100); }

}  // namespace

String PointerFeedback::statusText(RenderItem* item, int px, int py, int zoom, bool reflow) {
  if (!item) return String();
  if (item->type == RenderItem::AREA) return u" "_s + item->text;
  if (item->type != RenderItem::LINK) return String();
  String text = u" "_s + item->text;
  int x = 0, y = 0;
  if (ImageMapPoint::find(item, px, py, zoom, reflow, &x, &y)) text = text + u"?"_s + x + u","_s + y;
  return text;
}

String PointerFeedback::draw(Graphics& g, PageRenderer& renderer, std::mutex& pageLock, Page& page, int px,
                             int py, int scrollX, int scrollY, int zoom, bool reflow) {
  std::lock_guard<std::mutex> held(pageLock);
  RenderItem* item = HitTest::at(page, px, py, zoom, reflow);
  if (!item) return String();
  int ox = -scrollX, oy = -scrollY;
  switch (item->type) {
    case RenderItem::LINK: {
      int n = item->refs ? item->refs->size() : 0;
      for (int i = 0; i < n; ++i) {
        RenderItem* r = RenderItem::refOf(item, i);
        if (!r) continue;
        if (!reflow) {
          renderer.drawFocusLocked(g, r, ox, oy);
          continue;
        }
        // In the single column the link shows through the items derived from its own.
        int m = r->refs ? r->refs->size() : 0;
        for (int j = 0; j < m; ++j) renderer.drawFocusLocked(g, RenderItem::refOf(r, j), ox, oy);
      }
      break;
    }
    case RenderItem::CONTROL: {
      RenderItem* control = RenderItem::refOf(item, 0);
      if (reflow && item->source) control = item->source;
      renderer.drawFocusLocked(g, control, ox, oy);
      break;
    }
    case RenderItem::AREA: {
      g.setColorARGB(AREA_COLOUR);
      int x = zoomed(item->x, zoom) + ox, y = zoomed(item->y, zoom) + oy;
      if (item->color == HitTest::SHAPE_CIRCLE) {
        int r = zoomed(item->width, zoom);
        g.drawArc(x - r, y - r, 2 * r, 2 * r, 0, 360);
      } else {
        g.drawRect(x, y, zoomed(item->width, zoom), zoomed(item->height, zoom));
      }
      break;
    }
    default:
      break;
  }
  return statusText(item, px, py, zoom, reflow);
}
