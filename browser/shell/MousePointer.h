#pragma once

#include "vwt/ui/StaticImageWindow.h"

class Image;
class Window;

// The on-screen pointer as a small window of its own, shaped like the pointer picture so that the page
// shows through around it and taps on the transparent part reach the window below. Used when the
// pointer must float above other windows (an embedded movie).
class MousePointer : public StaticImageWindow {
 public:
  // Window class "veskMousePointer".
  static const char16_t* const CLASS_NAME;

  // A child of parent (null: the application's main frame) at (x, y, width, height) showing the arrow
  // of sprite, shaped by the arrow's opaque pixels. Neither is owned.
  MousePointer(Window* parent, Image* sprite, int x, int y, int width, int height);
  ~MousePointer() override;

  // Shapes the window by the opaque pixels of the sprite's rectangle (clipX, clipY, clipWidth x
  // clipHeight) scaled to the window's size, the same ratio on both axes.
  void shapeFrom(int clipX, int clipY, int clipWidth, int clipHeight);
  // Visible and top-most among its siblings, without taking the activation from the frame.
  void show();
  void hide();
};
