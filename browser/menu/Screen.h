#pragma once

#include "browser/menu/ScreenResult.h"
#include "vwt/lang/String.h"

class RenderItem;
namespace vwt {
class Font;
}

// A menu or panel open on the canvas: the overlay item it draws, the mode it puts the canvas in and
// what keys, taps and a typed answer do to it. The canvas keeps the open screens in a stack and
// carries out the results; a screen never reaches for the canvas. Interface thread only.
class Screen {
 public:
  virtual ~Screen() = default;
  // The canvas mode while this screen is on top (1 main menu, 4 confirmation, 7 window list, ...).
  virtual int mode() const = 0;
  // The overlay item, in view coordinates; owned by the screen, valid until the next call that
  // changes the screen.
  virtual RenderItem* item() = 0;
  // Sizes and places the item for a view of that size; called on opening and when the view changes.
  virtual void layout(int viewWidth, int viewHeight, vwt::Font* interfaceFont) = 0;
  // A key event: type 0 down, 1 up; toolkit key codes already turned for the orientation.
  virtual ScreenResult key(int type, int key) = 0;
  // A stylus tap at view coordinates.
  virtual ScreenResult tap(int x, int y) = 0;
  // The answer of the text entry this screen asked for with ScreenResult::ENTRY.
  virtual ScreenResult entered(const String& text) {
    (void)text;
    return ScreenResult::changed();
  }
};
