// Desktop and scripted input into queued messages: keys to the focus, the pointer to the captured
// window or the one under it, the wheel as arrow keys, the close button as WM_CLOSE.

#include <algorithm>

#include "vwt/platform/MessageKinds.h"
#include "vwt/platform/ScreenMetrics.h"
#include "vwt/platform/VirtualKeys.h"
#include "vwt/platform/WindowSystemState.h"

namespace vwt {
namespace platform {

namespace {
// One turn of the wheel never floods the queue.
const int MAX_WHEEL_STEPS = 16;
}  // namespace

WindowHandle WindowSystem::keyTarget() const {
  if (focus_ && isEnabled(focus_)) return focus_;
  if (active_) return active_;
  return topLevelTop();
}

bool WindowSystem::isKeyDown(int virtualKey) const {
  return virtualKey >= 0 && virtualKey <= 255 && state_->keysDown[virtualKey];
}

void WindowSystem::keyDown(int virtualKey, bool repeat) {
  if (virtualKey < 0 || virtualKey > 255) return;
  bool wasDown = state_->keysDown[virtualKey];
  state_->keysDown[virtualKey] = true;
  post(keyTarget(), WM_KEYDOWN, static_cast<uintptr_t>(virtualKey), keyDownParam(repeat || wasDown));
}

void WindowSystem::keyUp(int virtualKey) {
  if (virtualKey < 0 || virtualKey > 255) return;
  state_->keysDown[virtualKey] = false;
  post(keyTarget(), WM_KEYUP, static_cast<uintptr_t>(virtualKey), keyUpParam());
}

void WindowSystem::character(char16_t c) { post(keyTarget(), WM_CHAR, c, 1); }

void WindowSystem::postPointer(uint32_t kind, int x, int y) {
  WindowHandle target = capture_ ? capture_ : windowAt(x, y);
  if (!target || !isEnabled(target)) return;
  screenToClient(target, &x, &y);
  post(target, kind, kind == WM_LBUTTONUP ? 0 : MK_LBUTTON, packPoint(x, y));
}

void WindowSystem::pointerDown(int x, int y) { postPointer(WM_LBUTTONDOWN, x, y); }
void WindowSystem::pointerMove(int x, int y) { postPointer(WM_MOUSEMOVE, x, y); }
void WindowSystem::pointerUp(int x, int y) { postPointer(WM_LBUTTONUP, x, y); }

void WindowSystem::wheel(int steps) {
  int vk = steps > 0 ? VK_UP : VK_DOWN;
  int n = std::min(steps < 0 ? -steps : steps, MAX_WHEEL_STEPS);
  for (int i = 0; i < n; ++i) {
    keyDown(vk, false);
    keyUp(vk);
  }
}

void WindowSystem::closeRequested() {
  WindowHandle top = topLevelTop();
  if (top) post(top, WM_CLOSE, 0, 0);
}

void WindowSystem::resized(int width, int height) {
  width = std::min(std::max(width, 1), state_->capacity);
  height = std::min(std::max(height, 1), state_->capacity);
  int oldW = state_->width, oldH = state_->height;
  if (width == oldW && height == oldH) return;
  state_->width = width;
  state_->height = height;
  setScreenSize(width, height);
  std::vector<WindowHandle> full;
  for (Node* n : state_->topLevel)
    if (n->rect.x0 == 0 && n->rect.y0 == 0 && n->rect.x1 == oldW && n->rect.y1 == oldH)
      full.push_back(n->handle);
  // Windows that filled the screen follow it, as on a rotation.
  for (WindowHandle h : full) move(h, 0, 0, width, height);
  exposeArea(PixelRegion(PixelRect{0, 0, width, height}));
}

}  // namespace platform
}  // namespace vwt
