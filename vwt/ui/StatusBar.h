#pragma once

#include <cstdint>

#include "vwt/lang/String.h"
#include "vwt/ui/Window.h"

class Frame;

// A strip along the bottom of a frame. A subclass draws it in onPaint; a tap on it reaches the
// frame's processTapStatusbar in the frame's coordinates, and the stylus's moves and presses on it
// go nowhere.
class StatusBar : public Window {
 public:
  // At the bottom of parent's window, as wide as it, height pixels high; className is registered
  // for it once.
  StatusBar(Frame* parent, int height, const String& className);
  ~StatusBar() override;

  Frame* getParent() const { return parent_; }
  const String& getClassName() const { return className_; }
  // width wide at the bottom of the frame; the strip keeps its own height (height is not used).
  void setSize(int width, int height);
  // height high, as wide as the frame, at its bottom.
  void setHeight(int height);

  static intptr_t statusBarProcedure(int handle, uint32_t message, uintptr_t wParam, intptr_t lParam);

 private:
  Frame* parent_;  // not owned
  String className_;
};
