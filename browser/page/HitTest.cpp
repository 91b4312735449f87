#include "browser/page/HitTest.h"

RenderItem* HitTest::at(Page& page, int x, int y, int zoom, bool reflow) {
  (void)page, (void)x, (void)y, (void)zoom, (void)reflow;
  return nullptr;
}

void HitTest::outline(RenderItem* structureItem, int zoom, bool reflow, std::vector<int>* rects) {
  (void)structureItem, (void)zoom, (void)reflow, (void)rects;
}
