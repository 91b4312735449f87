#pragma once

#include <functional>

#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/String.h"
#include "vwt/ui/StatusBar.h"

class Calendar;
class Frame;
class Graphics;
class Image;
class StatusBarHost;
class Window;

// The one-line strip at the bottom of the browser's canvas: up to two soft-key label boxes, the status
// text and an optional clock. It repaints economically: the label boxes and the background are drawn
// only when marked dirty; the clock is drawn on every paint, on its own background. The drawing goes
// into an image of the bar's own, copied whole to the window: the window system paints the canvas
// under the bar before each of its paints, so the window keeps nothing from one paint to the next.
// Used on the user interface thread only.
class BrowserStatusBar : public StatusBar {
 public:
  // The time source of the clock: a new calendar, owned by the caller.
  typedef std::function<Calendar*()> Clock;

  // A child of the canvas (a Frame) at its bottom, one status-font line (plus 4) high; neither is owned.
  BrowserStatusBar(Window* canvas, StatusBarHost* host);
  ~BrowserStatusBar() override;

  void setStatusText(const String& text);
  String getStatusText() const { return statusText_; }
  // Index 0 is the left label, 1 the right one; a label equal to the shown one changes nothing.
  void setLabel(const String& text, int index);
  String getLabel(int index) const { return index == 0 || index == 1 ? labels_[index] : String(); }
  void show(bool on);
  bool isShown() const { return shown_; }
  virtual void setSize(int width, int height);
  // Replaces Calendar::getInstance as the clock's time source (tests fix the time with it).
  void setClock(const Clock& clock) { clock_ = clock; }

  void onPaint(Graphics* g) override;
  void onEraseBackground() override;

 private:
  // The status font's height (a fallback without a font).
  int fontHeight() const;
  // Draws what is dirty (and the clock) into g, width x height.
  void draw(Graphics* g, int width, int height);

  StatusBarHost* host_;  // not owned
  String statusText_;
  bool shown_ = true;
  bool redrawAll_ = true;
  bool labelsDirty_ = true;
  String labels_[2];
  Clock clock_;
  AutoPtr<Image> buffer_;  // the bar as last drawn
};
