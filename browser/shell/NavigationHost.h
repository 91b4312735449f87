#pragma once

#include "vwt/lang/String.h"

class Page;

// What the basic page navigation needs of the window.
class NavigationHost {
 public:
  virtual ~NavigationHost() = default;
  // The page on screen or null; the interface thread's own reference, valid until the next paint.
  virtual Page* pageOnScreen() = 0;
  // Opens a link of the page on screen.
  virtual void followLink(const String& url, const String& referrer) = 0;
  // The height of what covers the bottom of the view (the status line), so that the page's end can
  // be scrolled above it.
  virtual int coveredBottom() = 0;
  // One step back (-1) or forward (1) in the history.
  virtual void stepHistory(int offset) = 0;
};
