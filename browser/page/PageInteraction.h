#pragma once

#include <cstdint>

#include "browser/page/FlickAnimation.h"
#include "browser/page/FormControls.h"
#include "browser/page/KeyScroll.h"
#include "browser/page/PagePointer.h"
#include "vwt/lang/String.h"
#include "vwt/ui/TouchPad.h"

class InteractionHost;
class RenderItem;

// The browsing handler: what keys, the 50 ms tick and the stylus do to the page on screen. Direction
// keys move the pointer (layout and pointer mode) or go from link to link (reflow mode), faster while
// held; select activates the item under the pointer or, held 0.8 s, opens the link menu; the stylus
// drags and throws the page and taps items; activated links and controls are handed to the host.
//
// Desktop conveniences: a direction key released before its first tick still moves one line, so
// that a short key tap and the mouse wheel (which sends key presses) move the page; the select
// key-up that follows a long press does nothing, since the link menu it opened would take it; and an
// open list works with the stylus alone (a single-choice list takes the tapped row, a tap beside a
// list closes it).
class PageInteraction {
 public:
  static constexpr int TICK_MS = 50;
  static constexpr int LONG_PRESS_MS = 800;
  // Modes this handler runs.
  static constexpr int MODE_BROWSING = 0;
  static constexpr int MODE_LIST = 5;
  static constexpr int MODE_MULTIPLE_LIST = 6;
  static constexpr int MODE_MOVIE = 111;
  // Canvas flag bits.
  static constexpr int FLAG_POINTER_MODE = 0x20000;
  static constexpr int FLAG_REFLOW = 0x40000;

  explicit PageInteraction(InteractionHost* host);  // not owned
  ~PageInteraction();
  PageInteraction(const PageInteraction&) = delete;
  PageInteraction& operator=(const PageInteraction&) = delete;

  void setTuning(const KeyScroll::Tuning& tuning);
  // Key events: type 0 down, 1 up (toolkit key codes).
  void keyDown(int key);
  void keyUp(int key);
  void tick();  // the 50 ms timer
  // View coordinates.
  void pointerPressed(int x, int y);
  void pointerDragged(int x, int y);
  void pointerReleased(int x, int y);
  void pageChanged();  // a new page: pointer to the middle of the view, modes closed
  // Commands 37/38: page up (-1) or down (1).
  void pageStep(int direction);
  // Commands 18/19: the first (bottom false) or last screen of the page, the pointer in its middle; in
  // reflow the view moves and the pointer takes the links there.
  void goToEnd(bool bottom);
  // Activates a structure item (LINK, AREA, CONTROL) as select or a tap on it would (link hints use it).
  void activate(RenderItem* item);
  void setText(const String& text);              // the text entry's result
  int pointerX() const { return pointer_.x(); }  // zoomed page pixels
  int pointerY() const { return pointer_.y(); }
  int scrollX() const { return pointer_.scrollX(); }
  int scrollY() const { return pointer_.scrollY(); }
  int mode() const { return mode_; }  // 0 browsing, 5/6 open list, 111 movie
  // The host ends the movie mode (or another mode it ran) with 0.
  void setMode(int mode) { mode_ = mode; }
  bool dragging() const { return dragging_; }
  bool flicking() const { return flick_.running(); }
  bool speedBelowThreshold() const { return keyScroll_.belowThreshold(); }
  // A jump within the page (a fragment): the view shows the page point (x, y) at its top, the
  // pointer in its middle as always.
  void showPoint(int x, int y);
  // The zoom followed the text size: the pointer keeps its place on the page.
  void zoomChanged(int oldZoom, int newZoom);
  FormControls& controls() { return controls_; }

 private:
  // The page is shown re-flowed (hit tests look at the derived items)...
  bool reflowOn();
  // ...and the keys move the view rather than a pointer.
  bool reflowWithoutPointer();
  // Moves the pointer (layout, pointer mode) or the view (reflow mode) by a key's or the stylus's
  // movement; true when anything moved.
  bool moveBy(int dx, int dy);
  // One reflow step of a held key: history for left and right, links or lines for up and down.
  bool reflowStep(int key);
  void movedNow();
  void tap(int x, int y);
  // Activation at a page point: the pointer for keys, the tap for the stylus.
  void activateAt(RenderItem* item, int pageX, int pageY);
  void flickTick(int64_t now, bool* moved);
  bool needsTicks() const;

  InteractionHost* host_;
  KeyScroll keyScroll_;
  PagePointer pointer_;
  FlickAnimation flick_;
  TouchPad touchPad_;
  FormControls controls_;
  int mode_ = MODE_BROWSING;
  bool selectHeld_ = false;
  int64_t selectPressTime_ = 0;
  bool longPressDone_ = false;  // the link menu opened: the release does nothing more
  int lastDirection_ = 0;       // the direction key last pressed, for the reflow steps
  int ticksHeld_ = 0;           // ticks since that key went down
  int reflowSteps_ = 0;         // reflow steps taken while it is held
  bool stylusDown_ = false;
  bool pressStoppedFlick_ = false;
  bool dragging_ = false;
  int anchorX_ = 0, anchorY_ = 0;
};
