#pragma once

#include <vector>

#include "browser/page/TextSelection.h"

class Graphics;

// Draws the text selection over the drawn page: translucent, so the text stays readable. The
// canvas calls it after the page is in the screen buffer and before the pointer.
class SelectionPainter {
 public:
  static constexpr int SELECTION_COLOUR = static_cast<int>(0x603399FFu);

  // The rectangles (page pixels) drawn with origin (ox, oy), e.g. (-scrollX, -scrollY).
  static void draw(Graphics& g, const std::vector<TextSelection::Rect>& rects, int ox, int oy);
};
