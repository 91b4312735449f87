#pragma once

#include <vector>

#include "browser/menu/CommandHost.h"
#include "vwt/lang/String.h"

class Page;
class ReflowLayout;

// Finds a text in the TEXT items of the page on screen, ignoring case, forward or backward from
// the last match, and keeps the found run's rectangle for the canvas to highlight.
class PageFind {
 public:
  enum Outcome {
    FOUND,    // the next match after the last one
    WRAPPED,  // none more in that direction; the search went round to the other end
    NONE,     // the text is nowhere in the page
  };

  // The page lock held; page and reflow may be null.
  Outcome find(const Page* page, const ReflowLayout* reflow, const String& text, bool forward);
  // Forgets the last match: the next search starts at the page's first (or last) item.
  void reset();
  // The found run in page coordinates of the view it was found in; empty after NONE or reset().
  const std::vector<CommandHost::Area>& highlight() const { return highlight_; }
  int foundItem() const { return item_; }      // index in PageText::textItems, -1 none
  int foundOffset() const { return offset_; }  // of the match in that item's text

 private:
  bool samePage(const Page* page, const ReflowLayout* reflow, int itemCount) const;

  const Page* page_ = nullptr;  // identity only, never dereferenced
  const ReflowLayout* reflow_ = nullptr;
  int itemCount_ = 0;
  String text_;
  int item_ = -1;
  int offset_ = -1;
  std::vector<CommandHost::Area> highlight_;
};
