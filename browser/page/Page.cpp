#include "browser/page/Page.h"

#include "browser/page/ReflowLayout.h"

Page::Page()
    : pageId(0),
      backgroundColor(0xFFFFFF),
      width(0),
      height(0),
      carriedValue(0),
      dataLength(0),
      pointerX(0),
      pointerY(0),
      pageNo(0),
      pageFlags(1),
      zoom(100) {}

Page::~Page() = default;

void Page::replaceItemLists() {
  // The layout and the structure list refer into the main list: they go first.
  reflowLayout = nullptr;
  structure = new Vector<RenderItem*>();
  items = new Vector<RenderItem*>();
}

RenderItem* Page::resolveReference(int index) const {
  int m = mainCount();
  if (index < 0) return nullptr;
  if (index < m) return items->elementAt(index);
  if (index - m < structureCount()) return structure->elementAt(index - m);
  return nullptr;
}

String Page::getFrameUrl(const RenderItem* structureItem) const {
  if (!frames || !structure) return String::null;
  int position = structure->indexOf(const_cast<RenderItem*>(structureItem));
  if (position < 0) return String::null;
  int index = position + mainCount();
  int first = 0;
  for (int i = 0; i < frames->size(); ++i) {
    FrameInfo* f = frames->elementAt(i);
    if (f->value < 0) continue;
    if (index >= first && index <= f->value) return f->name;
    first = f->value + 1;
  }
  return String::null;
}
