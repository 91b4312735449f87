#include "browser/shell/BasicNavigation.h"

#include <algorithm>

#include "browser/page/Page.h"
#include "browser/page/PageRenderer.h"
#include "browser/page/RenderItem.h"
#include "browser/shell/NavigationHost.h"
#include "vwt/lang/Integer.h"
#include "vwt/ui/Window.h"

bool BasicNavigation::keyPressed(int key) {
  switch (key) {
    case Window::KEY_UP:
      scrollBy(0, -SCROLL_STEP);
      return true;
    case Window::KEY_DOWN:
      scrollBy(0, SCROLL_STEP);
      return true;
    case Window::KEY_LEFT:
      scrollBy(-SCROLL_STEP, 0);
      return true;
    case Window::KEY_RIGHT:
      scrollBy(SCROLL_STEP, 0);
      return true;
    case Window::KEY_BACKSPACE:
    case Window::KEY_SOFT1:
      host_->stepHistory(-1);
      return true;
    case Window::KEY_SOFT2:
      host_->stepHistory(1);
      return true;
    default:
      return false;
  }
}

bool BasicNavigation::tapped(int x, int y) {
  Page* page = host_->pageOnScreen();
  int zoom = renderer_->zoom();
  if (!page || zoom <= 0) return false;
  RenderItem* link =
      linkAt(*page, (x + renderer_->scrollX()) * 100 / zoom, (y + renderer_->scrollY()) * 100 / zoom);
  if (!link || link->text.length() == 0) return false;
  host_->followLink(link->text, page->url);
  return true;
}

void BasicNavigation::pageChanged() { renderer_->scrollTo(0, 0); }

RenderItem* BasicNavigation::linkAt(const Page& page, int x, int y) {
  RenderItem* found = nullptr;
  for (int i = 0; i < page.structureCount(); ++i) {
    RenderItem* link = page.structure->elementAt(i);
    if (!link || link->type != RenderItem::LINK || !link->refs) continue;
    for (int r = 0; r < link->refs->size(); ++r) {
      RenderItem* item = nullptr;
      if (link->isIndexRef(r))
        item = page.resolveReference(static_cast<Integer*>(link->refs->elementAt(r))->intValue());
      else
        item = dynamic_cast<RenderItem*>(link->refs->elementAt(r));
      if (item && x >= item->x && x < item->x + item->width && y >= item->y && y < item->y + item->height)
        found = link;
    }
  }
  return found;
}

int BasicNavigation::scrollLimit(int pageSize, int viewSize, int zoom) {
  return std::max(0, pageSize * zoom / 100 - viewSize);
}

void BasicNavigation::scrollBy(int dx, int dy) {
  Page* page = host_->pageOnScreen();
  if (!page) return;
  int zoom = renderer_->zoom();
  int maxX = scrollLimit(page->width, renderer_->viewWidth(), zoom);
  int maxY = scrollLimit(page->height, renderer_->viewHeight() - host_->coveredBottom(), zoom);
  int x = std::min(std::max(renderer_->scrollX() + dx, 0), maxX);
  int y = std::min(std::max(renderer_->scrollY() + dy, 0), maxY);
  if (x != renderer_->scrollX() || y != renderer_->scrollY()) renderer_->scrollTo(x, y);
}
