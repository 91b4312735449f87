#pragma once

#include <cstdint>

#include "vwt/lang/String.h"
#include "vwt/ui/Window.h"

// A painted position indicator along the side of a view: a framed track with a knob whose length
// and place show which part of the content is visible. It takes no input; its owner sets the
// lengths and the position and calls repaint().
class ScrollBar : public Window {
 public:
  enum DIRECTION { VERTICAL = 0, HORIZONTAL = 1 };

  // thickness x length (vertical) or length x thickness (horizontal) at (x, y) in parent.
  ScrollBar(Window* parent, int x, int y, int thickness, int length, DIRECTION direction);
  ~ScrollBar() override;

  // Content length and visible length; the position goes back to 0.
  virtual void setBarLength(int total, int visible);
  // The first visible unit, kept within 0 .. total - visible.
  virtual void setButtonPosition(int position);
  // 0x00RRGGBB each.
  virtual void setColor(int background, int frame, int knob);

  int getTotal() const { return total_; }
  int getVisible() const { return visible_; }
  int getPosition() const { return position_; }
  DIRECTION getDirection() const { return direction_; }
  const String& getClassName() const { return className_; }

  // The knob along a track of trackLength pixels: its first pixel and its length. False when
  // nothing is drawn (no content).
  static bool getKnob(int trackLength, int total, int visible, int position, int* start, int* length);

  void onPaint(Graphics* g) override;

  static intptr_t scrollBarProcedure(int handle, uint32_t message, uintptr_t wParam, intptr_t lParam);

 private:
  Window* parent_;  // not owned
  int thickness_;
  DIRECTION direction_;
  int total_ = 0;
  int visible_ = 0;
  int position_ = 0;
  int backgroundColor_ = 0xFFFFFF;
  int frameColor_ = 0x808080;
  int knobColor_ = 0x404040;
  String className_;
};
