#pragma once

#include <functional>

class Graphics;
class Image;
class RenderItem;
namespace vwt {
class Font;
}

// Draws the items the browser makes itself: scroll bars, scroll arrows, menus, the side menu, panels
// and sliders. Stateless; the only thing it changes is the scroll-bar child it gives a menu, side menu
// or panel whose rows do not fit.
//
// The items' fields (all lists are the item's value lists; a missing or mistyped entry takes the
// default named):
//   SCROLL_BAR  color visible rows, color2 total rows, value1 first row; flags bit 0 active.
//   ARROW       flags bit 0 points right (else left).
//   MENU        text the title; list 0 the row labels (String; text after a tab is drawn at param1 from
//               the left, or right-aligned when param1 is 0), list 1 their commands (Integer), list 2
//               enabled (Boolean, true), list 3 icons (Integer, -1 none), list 4 indents in icon widths
//               (Integer, 0); value1 the first row shown, value2 the selected row.
//   SIDE_MENU   list 0 labels, list 1 commands, list 2 false for a heading row (Boolean, true); value1 the
//               first row shown, value2 the current row.
//   PANEL       text the title; list 0 the child items (RenderItem, owned by the list) placed relative to
//               the panel's content area; value1 the first row shown, param1 the row height in pixels
//               (0: the interface line height); value2 the focused child (-1 none).
//   SLIDER      list 0 minimum, value, maximum (Integer); flags bit 5 focused.
// Scroll bars and arrows keep the caller's clip; the others clip to their parts and leave the clip
// cleared, as the page items that clip do. Every item leaves the font it found.
class OverlayPainter {
 public:
  struct Style {
    int paletteSet = 0;
    bool translucent = false;
    vwt::Font* interfaceFont = nullptr;
    Image* iconStrip = nullptr;
    int zoom = 100;
    // Draws a child item (PANEL children) through the renderer, origin (ox, oy).
    std::function<void(Graphics&, RenderItem*, int ox, int oy)> drawChild;
  };

  // The browser-made item types (30 is RenderItem::SCROLL_BAR).
  static constexpr int ARROW = 31;
  static constexpr int MENU = 200;
  static constexpr int SIDE_MENU = 201;
  static constexpr int PANEL = 202;
  static constexpr int SLIDER = 203;

  // The one spacing of every browser-made item, in pixels.
  static constexpr int GAP = 2;
  // Scroll bars are this wide and stand this far in from their owner's right edge (at zoom 100).
  static constexpr int SCROLL_BAR_WIDTH = 12;
  static constexpr int SCROLL_BAR_INSET = 14;

  // (x, y, w, h) is the item's rectangle as drawn; false when the type is not one of the six.
  static bool draw(Graphics& g, RenderItem* item, int x, int y, int w, int h, const Style& style);

  // The mark in front of menu row `row`: "1"-"9", "*", "0", "#", then none.
  static const char16_t* rowMark(int row);
};
