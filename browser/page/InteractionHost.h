#pragma once

#include <cstdint>
#include <mutex>

#include "browser/page/ViewGeometry.h"
#include "vwt/lang/String.h"
#include "vwt/lang/Vector.h"

class Page;
class ReflowLayout;
class RenderItem;

// What the page interaction needs of the canvas: the page and its lock, the view's sizes and
// settings, the tick timer, scrolling and repainting, and the places where a key, a tap or an
// activated item leads (history, links, forms, menus, overlays). The canvas implements it; tests
// use a fake. Everything is called on the interface thread.
class InteractionHost {
 public:
  virtual ~InteractionHost() = default;
  virtual Page* page() = 0;  // the page on screen or null
  virtual std::mutex& pageLock() = 0;
  virtual ReflowLayout* reflowLayout() = 0;  // the layout on screen in reflow mode, else null; under pageLock
  virtual ViewGeometry geometry() = 0;
  virtual int zoom() = 0;
  virtual int canvasFlags() = 0;
  virtual int orientation() = 0;  // 0-3
  virtual int64_t now() = 0;      // monotonic milliseconds
  virtual void startTicks() = 0;  // the 50 ms tick (PageInteraction::tick), idempotent
  virtual void stopTicks() = 0;
  virtual void scrollTo(int x, int y) = 0;  // the view's position, zoomed page pixels
  virtual void repaint(bool wholePage) = 0;
  virtual void followLink(RenderItem* linkOrArea, int pointerX, int pointerY) = 0;  // zoomed page px
  virtual void submitForm(RenderItem* form, const String& fields) = 0;
  virtual void historyStep(int offset) = 0;  // -1 back, 1 forward, 0 redisplay
  virtual int historyPosition() = 0;         // the current window's position in its history
  virtual void openTextEntry(const String& text, int imeMode, int maxLength, bool multiLine) = 0;
  virtual void openMainMenu() = 0;  // menu key
  virtual void openLinkMenu() = 0;  // select or stylus held 0.8 s
  virtual void openFileMenu(RenderItem* uploadControl) = 0;
  virtual bool commandKey(int key) = 0;  // shortcut keys of the command table; false when unused
  virtual bool overlayOpen() = 0;        // a fixed or page overlay other than the open list
  virtual bool overlayKey(int type,
                          int key) = 0;  // keys for the open overlay/mode (menus: the command piece)
  virtual bool overlayTap(int x, int y) = 0;
  virtual bool statusBarTap(int x, int y) = 0;  // true when the status line took it
  virtual bool movieAt(int x, int y) = 0;       // a movie under the pointer took the select key (mode 111)
  // The page overlay list the open list's copy goes into (not owned); under pageLock.
  virtual Vector<RenderItem*>* pageOverlays() = 0;
};
