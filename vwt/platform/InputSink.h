#pragma once

namespace vwt {
namespace platform {

// What a display back end (the desktop window, the input script) delivers into the window system.
// Coordinates are handset screen pixels, never scaled desktop pixels.
class InputSink {
 public:
  virtual ~InputSink() = default;
  virtual void keyDown(int virtualKey, bool repeat) = 0;
  virtual void keyUp(int virtualKey) = 0;
  virtual void character(char16_t c) = 0;  // text input for edit controls
  virtual void pointerDown(int x, int y) = 0;
  virtual void pointerMove(int x, int y) = 0;
  virtual void pointerUp(int x, int y) = 0;
  virtual void wheel(int steps) = 0;  // > 0 away from the user; the window system turns it into arrow keys
  virtual void closeRequested() = 0;  // the desktop window's close button
  virtual void resized(int width, int height) = 0;  // new screen size in handset pixels
};

}  // namespace platform
}  // namespace vwt
