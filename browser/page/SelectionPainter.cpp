#include "browser/page/SelectionPainter.h"

#include "vwt/ui/Graphics.h"

void SelectionPainter::draw(Graphics& g, const std::vector<TextSelection::Rect>& rects, int ox, int oy) {
  if (rects.empty()) return;
  g.setColorARGB(SELECTION_COLOUR);
  for (const TextSelection::Rect& r : rects) {
    if (r.w > 0 && r.h > 0) g.fillRect(r.x + ox, r.y + oy, r.w, r.h);
  }
}
