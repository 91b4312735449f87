#include "browser/page/PagePointer.h"

#include <algorithm>

namespace {
int clampTo(int v, int low, int high) { return std::max(low, std::min(v, high)); }

int64_t position(int x, int y, int viewWidth) { return static_cast<int64_t>(y) * viewWidth + x; }

// A view of size view over a page of size page starts at most here.
int scrollLimit(int page, int view) { return std::max(page - view, 0); }
}  // namespace

void PagePointer::reset(const ViewGeometry& g) {
  x_ = g.viewWidth / 2;
  y_ = g.viewHeight / 2;
  scrollX_ = scrollY_ = 0;
}

int PagePointer::bandBottom(int scrollY, const ViewGeometry& g) {
  return scrollY + g.viewHeight - g.interfaceLineHeight - 4;
}

void PagePointer::clampScroll(const ViewGeometry& g) {
  scrollX_ = clampTo(scrollX_, 0, scrollLimit(g.pageWidth, g.viewWidth));
  scrollY_ = clampTo(scrollY_, 0, scrollLimit(g.pageHeight, g.viewHeight));
}

bool PagePointer::move(int dx, int dy, const ViewGeometry& g) {
  int oldX = x_, oldY = y_, oldScrollX = scrollX_, oldScrollY = scrollY_;
  // The high ends first: on a page smaller than the view the pointer stays at 0.
  x_ = std::max(std::min(x_ + dx, g.pageWidth - 8), 0);
  y_ = std::max(std::min(y_ + dy, g.pageHeight - g.interfaceLineHeight - 4), 0);
  scrollX_ = x_ - g.viewWidth / 2;
  scrollY_ = y_ - g.viewHeight / 2;
  clampScroll(g);
  return x_ != oldX || y_ != oldY || scrollX_ != oldScrollX || scrollY_ != oldScrollY;
}

void PagePointer::pointAt(int64_t p, const ViewGeometry& g) {
  if (g.viewWidth <= 0) return;
  int64_t y = p / g.viewWidth;
  if (y < scrollY_) return;
  y_ = static_cast<int>(y);
  x_ = static_cast<int>(p - y * g.viewWidth);
}

void PagePointer::pointFirstFrom(int top, const ViewGeometry& g, const Positions& links) {
  auto it = std::lower_bound(links.begin(), links.end(), position(0, top, g.viewWidth));
  if (it != links.end()) pointAt(*it, g);
}

void PagePointer::pointLastBefore(int bottom, const ViewGeometry& g, const Positions& links) {
  auto it = std::lower_bound(links.begin(), links.end(), position(0, bottom, g.viewWidth));
  if (it != links.begin()) pointAt(*(it - 1), g);
}

bool PagePointer::scrollReflow(int dy, const ViewGeometry& g, const Positions& links) {
  int old = scrollY_;
  scrollX_ = 0;
  scrollY_ = clampTo(scrollY_ + dy, 0, scrollLimit(g.pageHeight, g.viewHeight));
  if (scrollY_ > old && y_ < scrollY_) {
    pointLastBefore(bandBottom(scrollY_, g), g, links);
  } else if (scrollY_ < old && y_ - scrollY_ > g.viewHeight - 4) {
    pointFirstFrom(scrollY_ + g.pageLineHeight - 6, g, links);
  }
  return scrollY_ != old;
}

bool PagePointer::reflowStep(int direction, int n, const ViewGeometry& g, const Positions& links) {
  int line = g.pageLineHeight + 3;
  if (n <= 20) {
    int64_t here = position(x_, y_, g.viewWidth);
    int64_t next = -1;
    if (direction > 0) {
      auto it = std::upper_bound(links.begin(), links.end(), here);
      if (it != links.end()) next = *it;
    } else {
      auto it = std::lower_bound(links.begin(), links.end(), here);
      if (it != links.begin()) next = *(it - 1);
    }
    if (next >= 0 && g.viewWidth > 0) {
      int64_t y = next / g.viewWidth;
      if (y >= scrollY_ && y < bandBottom(scrollY_, g)) {
        int oldX = x_, oldY = y_;
        pointAt(next, g);
        return x_ != oldX || y_ != oldY;
      }
    }
    return scrollReflow(direction * line, g, links);
  }
  int step = n <= 30 ? line : line + 5 * (n - 30);
  int oldX = x_, oldY = y_;
  bool moved = scrollReflow(direction * step, g, links);
  if (direction < 0)
    pointFirstFrom(scrollY_, g, links);
  else
    pointLastBefore(bandBottom(scrollY_, g), g, links);
  return moved || x_ != oldX || y_ != oldY;
}

bool PagePointer::page(int direction, bool reflow, const ViewGeometry& g, const Positions& links) {
  int step = g.viewHeight - g.pageLineHeight - 4;
  if (!reflow) return move(0, direction * step, g);
  int old = scrollY_, oldX = x_, oldY = y_;
  scrollX_ = 0;
  scrollY_ = clampTo(scrollY_ + direction * step, 0, scrollLimit(g.pageHeight, g.viewHeight));
  // Down: the first link of the new view; up: the last one, nearest to where the view came from.
  if (direction > 0)
    pointFirstFrom(scrollY_, g, links);
  else
    pointLastBefore(bandBottom(scrollY_, g), g, links);
  return scrollY_ != old || x_ != oldX || y_ != oldY;
}

void PagePointer::rescale(int oldZoom, int newZoom) {
  if (oldZoom <= 0 || newZoom <= 0 || oldZoom == newZoom) return;
  x_ = static_cast<int>(static_cast<int64_t>(x_) * newZoom / oldZoom);
  y_ = static_cast<int>(static_cast<int64_t>(y_) * newZoom / oldZoom);
  scrollX_ = static_cast<int>(static_cast<int64_t>(scrollX_) * newZoom / oldZoom);
  scrollY_ = static_cast<int>(static_cast<int64_t>(scrollY_) * newZoom / oldZoom);
}
