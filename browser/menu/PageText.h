#pragma once

#include <vector>

#include "vwt/lang/String.h"

class Page;
class ReflowLayout;
class RenderItem;

// The text of the page on screen, as the copy command takes it: in reflow view the lines' texts,
// in layout view the TEXT items in the page's order with the line breaks of the layout.
class PageText {
 public:
  // A line feed after each line. page and reflow may be null; the page lock held.
  static String of(const Page* page, const ReflowLayout* reflow);
  // The TEXT items of the view in reading order (not owned).
  static std::vector<RenderItem*> textItems(const Page* page, const ReflowLayout* reflow);
  // Whether item b starts a new line after item a in layout view.
  static bool startsLine(const RenderItem* a, const RenderItem* b);
};
