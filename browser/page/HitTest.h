#pragma once

#include <vector>

#include "browser/page/Page.h"
#include "browser/page/RenderItem.h"

// Finds the link, form control or map area under a point of the page, and
// the rectangles that outline one.
class HitTest {
 public:
  // Map area shapes.
  static constexpr int SHAPE_RECTANGLE = 1;
  static constexpr int SHAPE_CIRCLE = 2;
  static constexpr int SHAPE_POLYGON = 3;  // tested by its bounding rectangle

  // The first item of the page's structure list, in list order, that contains the zoomed page point
  // (x, y) at zoom: LINK through its referenced items (in reflow: the items derived from them), CONTROL
  // through its position-0 control item (in reflow: the derived control, which becomes the control
  // control item's derived copy), AREA by its shape (layout mode only). Null when none.
  // The caller holds the page lock. In reflow mode the derived control a CONTROL was found through is
  // remembered by HitTest::at in the CONTROL's `source` field (the control's "source item"); FormControls
  // makes the open-list copy from it.
  static RenderItem* at(Page& page, int x, int y, int zoom, bool reflow);
  // The LINK/AREA/CONTROL item's outline rectangles in zoomed page pixels (for highlights and hints):
  // appends (x, y, w, h) quadruples.
  static void outline(RenderItem* structureItem, int zoom, bool reflow, std::vector<int>* rects);
};
