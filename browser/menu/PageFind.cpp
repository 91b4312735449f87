#include "browser/menu/PageFind.h"

#include "browser/menu/PageText.h"
#include "browser/page/RenderItem.h"

void PageFind::reset() {
  item_ = -1;
  offset_ = -1;
  highlight_.clear();
}

bool PageFind::samePage(const Page* page, const ReflowLayout* reflow, int itemCount) const {
  return page == page_ && reflow == reflow_ && itemCount == itemCount_;
}

PageFind::Outcome PageFind::find(const Page* page, const ReflowLayout* reflow, const String& text,
                                 bool forward) {
  std::vector<RenderItem*> items = PageText::textItems(page, reflow);
  int n = static_cast<int>(items.size());
  String needle = text.toLowerCase();
  // Another page, another view or another text starts from the end the search goes from.
  if (!samePage(page, reflow, n) || !needle.equals(text_) || item_ >= n) reset();
  page_ = page;
  reflow_ = reflow;
  itemCount_ = n;
  text_ = needle;
  highlight_.clear();
  if (needle.length() == 0 || n == 0) {
    reset();
    return NONE;
  }

  std::vector<String> lower;
  lower.reserve(items.size());
  for (RenderItem* item : items) lower.push_back(item->text.toLowerCase());

  int foundAt = -1, foundOffset = -1;
  bool wrapped = false;
  if (forward) {
    int start = item_ < 0 ? 0 : item_;
    int from = item_ < 0 ? 0 : offset_ + 1;
    for (int i = start; i < n && foundAt < 0; ++i) {
      int p = lower[i].indexOf(needle, i == start ? from : 0);
      if (p >= 0) foundAt = i, foundOffset = p;
    }
    // Round to the top: up to and including the run the last match was in.
    for (int i = 0; item_ >= 0 && foundAt < 0 && i <= start; ++i) {
      int p = lower[i].indexOf(needle, 0);
      if (p >= 0) foundAt = i, foundOffset = p, wrapped = true;
    }
  } else {
    int start = item_ < 0 ? n - 1 : item_;
    int from = item_ < 0 ? lower[start].length() : offset_ - 1;
    for (int i = start; i >= 0 && foundAt < 0; --i) {
      int f = i == start ? from : lower[i].length();
      int p = f < 0 ? -1 : lower[i].lastIndexOf(needle, f);
      if (p >= 0) foundAt = i, foundOffset = p;
    }
    for (int i = n - 1; item_ >= 0 && foundAt < 0 && i >= start; --i) {
      int p = lower[i].lastIndexOf(needle, lower[i].length());
      if (p >= 0) foundAt = i, foundOffset = p, wrapped = true;
    }
  }
  if (foundAt < 0) {
    reset();
    return NONE;
  }
  item_ = foundAt;
  offset_ = foundOffset;
  const RenderItem* hit = items[foundAt];
  CommandHost::Area area;
  area.x = hit->x;
  area.y = hit->y;
  area.width = hit->width;
  area.height = hit->height;
  highlight_.push_back(area);
  return wrapped ? WRAPPED : FOUND;
}
