#pragma once

#include <vector>

class Screen;

// The menus and panels open on the canvas, bottom to top. The top one gets the keys and taps; all of
// them are drawn, bottom first. Owns the screens. Interface thread only.
class ScreenStack {
 public:
  ScreenStack() = default;
  ~ScreenStack();  // deletes the screens
  ScreenStack(const ScreenStack&) = delete;
  ScreenStack& operator=(const ScreenStack&) = delete;

  // Takes ownership; the screen becomes the top. A null screen is ignored.
  void push(Screen* screen);
  // Deletes the top screen; nothing when empty.
  void pop();
  // Deletes every screen, top first.
  void clear();
  // The top screen, null when none.
  Screen* top() const;
  int size() const;
  // Screen i, 0 the bottom .. size() - 1 the top (drawing order); null outside.
  Screen* at(int i) const;
  // The top screen's mode, 0 (browsing) when none is open.
  int mode() const;

 private:
  std::vector<Screen*> screens_;  // owned
};
