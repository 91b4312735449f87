#pragma once

#include <mutex>

#include "vwt/lang/String.h"

class Graphics;
class Page;
class PageRenderer;
class RenderItem;

// Shows what the pointer is over: a link's items highlighted and its address for the status line,
// a form control framed, a map area outlined in red. Found and drawn under the page lock, after the
// page and before the pointer.
class PointerFeedback {
 public:
  static constexpr int AREA_COLOUR = static_cast<int>(0xFFFF0000u);
  // Draws the feedback for the pointer (px, py) in zoomed page pixels into g, the view showing the
  // page from (scrollX, scrollY); the renderer draws the highlights. Returns the status text the
  // item asks for: a space and the address for links and areas, empty for anything else.
  static String draw(Graphics& g, PageRenderer& renderer, std::mutex& pageLock, Page& page, int px, int py,
                     int scrollX, int scrollY, int zoom, bool reflow);
  // The status text of a LINK or AREA item with the pointer at (px, py), zoomed page pixels (layout
  // pixels in reflow); a link on an image map adds "?x,y", the pointer's place in the picture.
  static String statusText(RenderItem* item, int px, int py, int zoom, bool reflow);
};
