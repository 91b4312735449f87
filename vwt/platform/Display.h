#pragma once

#include <memory>
#include <string>

#include "vwt/lang/String.h"
#include "vwt/platform/InputSink.h"
#include "vwt/platform/PixelTarget.h"

namespace vwt {
namespace platform {

// Where the composed screen goes and where desktop input comes from: a real desktop window or none.
class Display {
 public:
  virtual ~Display() = default;
  // Shows the composed screen; only `dirty` changed since the last present.
  virtual void present(const PixelTarget& screen, const PixelRect& dirty) = 0;
  // Waits up to timeoutMs (-1: no limit) for desktop input and delivers it to sink; returns early on
  // input or wake().
  virtual void waitEvents(int timeoutMs, InputSink& sink) = 0;
  // Thread-safe: makes a waitEvents in progress return (a message was posted from another thread).
  virtual void wake() = 0;
  virtual void size(int* width, int* height) const = 0;
  // Optional
  virtual void setTitle(const String&) {}
  virtual void setIcon(const PixelTarget&) {}
  virtual void raise() {}  // brought to the front by a second instance
  virtual bool isHeadless() const { return true; }
  // The desktop's text clipboard; false when the back end has none (the clipboard then stays inside
  // the process).
  virtual bool setClipboardText(const std::u16string&) { return false; }
  virtual bool getClipboardText(std::u16string*) { return false; }
};

// The back end for this run: VWT_DISPLAY=sdl|headless, else SDL when a desktop is there. A bad value
// is a message on standard error and exit status 2.
std::unique_ptr<Display> createDisplay(int width, int height, int scale);

}  // namespace platform
}  // namespace vwt
