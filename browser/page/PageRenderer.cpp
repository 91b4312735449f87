#include "browser/page/PageRenderer.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <mutex>

#include "browser/page/Page.h"
#include "browser/page/PageFonts.h"
#include "browser/page/Palette.h"
#include "browser/page/ReflowLayout.h"
#include "browser/page/RenderItem.h"
#include "browser/page/RendererHost.h"
#include "vwt/ui/Graphics.h"
#include "vwt/ui/Image.h"

PageRenderer::PageRenderer(RendererHost* host, PageFonts* fonts)
    : host_(host), fonts_(fonts), painter_(host, fonts, &tiles_) {}

PageRenderer::~PageRenderer() = default;

void PageRenderer::setViewSize(int width, int height) {
  if (width < 1) width = 1;
  if (height < 1) height = 1;
  if (width > Image::MAX_SIDE) width = Image::MAX_SIDE;
  if (height > Image::MAX_SIDE) height = Image::MAX_SIDE;
  if (static_cast<int64_t>(width) * height > Image::MAX_PIXELS) height = Image::MAX_PIXELS / width;
  if (buffer_ && width == viewWidth_ && height == viewHeight_) return;
  buffer_.reset();
  buffer_ = Image::createImage(width, height, 0xFFFFFF);
  viewWidth_ = width;
  viewHeight_ = height;
  fullRepaint_ = true;
}

void PageRenderer::setZoom(int zoom) {
  if (zoom < MIN_ZOOM) zoom = MIN_ZOOM;
  if (zoom > MAX_ZOOM) zoom = MAX_ZOOM;
  if (zoom != zoom_) fullRepaint_ = true;
  zoom_ = zoom;
}

void PageRenderer::scrollTo(int x, int y) {
  scrollX_ = x;
  scrollY_ = y;
}

void PageRenderer::pageChanged() {
  tiles_.clear();
  fullRepaint_ = true;
}

Image* PageRenderer::buffer() { return buffer_.get(); }

bool PageRenderer::isReflow() const { return (host_->canvasFlags() & FLAG_REFLOW) != 0; }

ItemPainter::Pass PageRenderer::passFor(int zoom, int x, int y, int w, int h) const {
  ItemPainter::Pass pass;
  pass.zoom = zoom;
  pass.reflow = isReflow();
  pass.clipX = x;
  pass.clipY = y;
  pass.clipW = w;
  pass.clipH = h;
  pass.viewHeight = viewHeight_;
  return pass;
}

void PageRenderer::updateBuffer() {
  if (!buffer_) return;
  if (fullRepaint_) {
    drawPage(0, 0, viewWidth_, viewHeight_);
    fullRepaint_ = false;
  } else {
    int64_t dx = static_cast<int64_t>(scrollX_) - drawnScrollX_;
    int64_t dy = static_cast<int64_t>(scrollY_) - drawnScrollY_;
    if (std::llabs(dx) >= viewWidth_ || std::llabs(dy) >= viewHeight_) {
      drawPage(0, 0, viewWidth_, viewHeight_);
    } else if (dx != 0 || dy != 0) {
      int mx = static_cast<int>(dx), my = static_cast<int>(dy);
      Graphics* g = buffer_->getGraphics();
      g->clearClip();
      g->copyArea(0, 0, viewWidth_, viewHeight_, -mx, -my);
      // The strips the page moved in from.
      if (mx > 0) drawPage(viewWidth_ - mx, 0, mx, viewHeight_);
      if (mx < 0) drawPage(0, 0, -mx, viewHeight_);
      if (my > 0) drawPage(0, viewHeight_ - my, viewWidth_, my);
      if (my < 0) drawPage(0, 0, viewWidth_, -my);
    }
  }
  drawnScrollX_ = scrollX_;
  drawnScrollY_ = scrollY_;
}

void PageRenderer::drawPage(int x, int y, int w, int h) {
  Graphics& g = *buffer_->getGraphics();
  std::lock_guard<std::mutex> held(host_->pageLock());
  Page* page = host_->shownPage();
  bool reflow = isReflow();
  int background = 0xFFFFFF;
  if (page && (!reflow || (host_->canvasFlags() & FLAG_REFLOW_COLOURS))) background = page->backgroundColor;
  g.setClip(x, y, w, h);
  // The page background never blends.
  g.setColorARGB(Palette::forDrawing(background, host_->isTranslucent(), false));
  g.fillRect(x, y, w, h);
  if (page) {
    if (reflow)
      drawReflow(g, x, y, w, h);
    else
      drawLayout(g, x, y, w, h);
  }
  g.clearClip();
}

void PageRenderer::drawLayout(Graphics& g, int x, int y, int w, int h) {
  Page* page = host_->shownPage();
  if (!page->items) return;
  painter_.setPass(passFor(zoom_, x, y, w, h));
  // The clip in page pixels at this zoom.
  int64_t left = static_cast<int64_t>(x) + scrollX_, top = static_cast<int64_t>(y) + scrollY_;
  int64_t right = left + w, bottom = top + h;
  Vector<RenderItem*>* items = page->items.get();
  int n = items->size();
  for (int i = 0; i < n; ++i) {
    RenderItem* item = items->elementAt(i);
    if (!item) continue;
    int64_t ix = static_cast<int64_t>(zoom_) * item->x / 100,
            iy = static_cast<int64_t>(zoom_) * item->y / 100;
    int64_t iw = static_cast<int64_t>(zoom_) * item->width / 100,
            ih = static_cast<int64_t>(zoom_) * item->height / 100;
    if (ix - 1 >= right || iy - 1 >= bottom || ix + iw + 1 <= left || iy + ih + 1 <= top) continue;
    g.setClip(x, y, w, h);
    painter_.draw(g, item, -scrollX_, -scrollY_);
  }
}

void PageRenderer::drawReflow(Graphics& g, int x, int y, int w, int h) {
  ReflowLayout* layout = host_->reflowLayout();
  if (!layout) return;
  // Derived items are placed in view pixels: rectangles as given, only the spacing follows the zoom.
  painter_.setPass(passFor(zoom_, x, y, w, h));
  // The band in layout pixels; the view only scrolls up and down.
  const int64_t top = static_cast<int64_t>(y) + scrollY_, bottom = top + h;
  const int oy = -scrollY_;
  auto crosses = [top, bottom](const RenderItem* item) {
    int64_t iy = item->y;
    return iy - 1 < bottom && iy + item->height + 1 > top;
  };
  const Vector<RenderItem*>& loose = layout->looseItems();
  for (int i = 0; i < loose.size(); ++i) {
    RenderItem* item = loose.elementAt(i);
    if (!item || !crosses(item)) continue;
    g.setClip(x, y, w, h);
    painter_.draw(g, item, 0, oy);
  }
  const Vector<ReflowLayout::Line*>& lines = layout->lines();
  const int64_t lineHeight = std::max(layout->lineHeight(), 1);
  // Line i starts a little above i line heights: one line more on each side.
  int64_t first = std::max<int64_t>(top / lineHeight - 1, 0);
  int64_t last = std::min<int64_t>(bottom / lineHeight + 1, static_cast<int64_t>(lines.size()) - 1);
  for (int64_t i = first; i <= last; ++i) {
    ReflowLayout::Line* line = lines.elementAt(static_cast<int>(i));
    for (int k = 0; line && k < line->size(); ++k) {
      RenderItem* item = line->elementAt(k);
      if (!item || !crosses(item)) continue;
      g.setClip(x, y, w, h);
      painter_.draw(g, item, 0, oy);
    }
  }
}

void PageRenderer::drawItem(Graphics& g, RenderItem* item, int ox, int oy, int zoom) {
  if (!item) return;
  std::lock_guard<std::mutex> held(host_->pageLock());
  painter_.setPass(passFor(zoom, 0, 0, viewWidth_, viewHeight_));
  g.setClip(0, 0, viewWidth_, viewHeight_);
  painter_.draw(g, item, ox, oy);
}

void PageRenderer::drawFocus(Graphics& g, RenderItem* item, int ox, int oy) {
  if (!item) return;
  std::lock_guard<std::mutex> held(host_->pageLock());
  drawFocusLocked(g, item, ox, oy);
}

void PageRenderer::drawFocusLocked(Graphics& g, RenderItem* item, int ox, int oy) {
  if (!item) return;
  painter_.setPass(passFor(zoom_, 0, 0, viewWidth_, viewHeight_));
  g.setClip(0, 0, viewWidth_, viewHeight_);
  painter_.drawFocus(g, item, ox, oy);
}
