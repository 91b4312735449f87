#pragma once

#include <cstdint>
#include <vector>

#include "browser/page/ViewGeometry.h"

// The page pointer and the view's scroll position, in zoomed page pixels, and the ways they move:
// in layout and pointer mode the pointer moves and the view keeps it in its middle; in reflow mode
// the view scrolls and the pointer goes from link to link. Link positions are the reflow layout's
// sorted y * view width + x values.
class PagePointer {
 public:
  typedef std::vector<int64_t> Positions;

  int x() const { return x_; }
  int y() const { return y_; }
  int scrollX() const { return scrollX_; }
  int scrollY() const { return scrollY_; }

  // A new page: the pointer in the middle of the view, the view at the top left.
  void reset(const ViewGeometry& g);
  void setPointer(int x, int y) {
    x_ = x;
    y_ = y;
  }

  // Layout and pointer mode: moves the pointer by (dx, dy) inside the page and centres the view on it.
  // True when the pointer or the view moved.
  bool move(int dx, int dy, const ViewGeometry& g);
  // Reflow mode: the view moves by dy (never sideways); a pointer the view left behind goes to the
  // nearest link still in view. True when the view moved.
  bool scrollReflow(int dy, const ViewGeometry& g, const Positions& links);
  // Reflow mode, one step of a held up (direction -1) or down (1) key; n counts the steps of this
  // press from 1: link to link up to 20, then line by line, from 31 on faster each tick.
  bool reflowStep(int direction, int n, const ViewGeometry& g, const Positions& links);
  // Page up (-1) or down (1) by a view less a line.
  bool page(int direction, bool reflow, const ViewGeometry& g, const Positions& links);
  // The zoom changed: the pointer keeps its place on the page.
  void rescale(int oldZoom, int newZoom);

  // The band of the view where the pointer may rest in reflow mode: the status line covers the rest.
  static int bandBottom(int scrollY, const ViewGeometry& g);

 private:
  // Puts the pointer on the link at position p unless it lies above the view.
  void pointAt(int64_t p, const ViewGeometry& g);
  // The first link at or after the top of the view; the last one before the band's bottom.
  void pointFirstFrom(int top, const ViewGeometry& g, const Positions& links);
  void pointLastBefore(int bottom, const ViewGeometry& g, const Positions& links);
  void clampScroll(const ViewGeometry& g);

  int x_ = 0, y_ = 0;
  int scrollX_ = 0, scrollY_ = 0;
};
