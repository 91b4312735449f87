#pragma once

#include <mutex>

#include "vwt/lang/String.h"

class Image;
class Page;
class ReflowLayout;

// What the page renderer needs of the canvas that owns it: the page on
// screen and its images under the page lock, the icon strip, and the few
// canvas settings that change how items are drawn.
class RendererHost {
 public:
  virtual ~RendererHost() = default;
  virtual std::mutex& pageLock() = 0;       // held while the page is drawn
  virtual Page* shownPage() = 0;            // the page on screen or null; valid under pageLock
  virtual Image* pageImage(int index) = 0;  // decoded image or null; valid under pageLock
  // The layout of the page on screen in reflow mode, else null; valid under pageLock.
  virtual ReflowLayout* reflowLayout() = 0;
  virtual Image* iconStrip() = 0;    // may be null
  virtual int canvasFlags() = 0;     // the stored canvas flag word
  virtual bool isTranslucent() = 0;  // translucent interface
  virtual int paletteSet() = 0;      // 0 or 1
  virtual bool moviePlaybackOn() = 0;
  // OBJECT items: a movie file to place over (x, y, w, h); false when not placed.
  virtual bool placeMovie(const String& path, int x, int y, int w, int h) = 0;
};
