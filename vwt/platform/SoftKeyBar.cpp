#include "vwt/platform/SoftKeyBar.h"

#include <map>

#include "vwt/platform/ControlLook.h"
#include "vwt/platform/ControlPainter.h"
#include "vwt/platform/MessageKinds.h"

namespace vwt {
namespace platform {

namespace {

const char16_t* const CLASS_NAME = u"vwtSoftKeyBar";

// The bars by window; the UI thread's only.
std::map<WindowHandle, SoftKeyBar*>& bars() {
  static std::map<WindowHandle, SoftKeyBar*> open;
  return open;
}

}  // namespace

SoftKeyBar::SoftKeyBar(WindowHandle target, int height, int firstCommand, int secondCommand)
    : target_(target), height_(height), commands_{firstCommand, secondCommand} {
  WindowSystem& ws = WindowSystem::get();
  if (!ws.isClassRegistered(CLASS_NAME) &&
      !ws.registerClass(WindowClass{CLASS_NAME, &SoftKeyBar::procedure, ControlLook::CAPTION}))
    return;
  int w, h;
  ws.screenSize(&w, &h);
  handle_ = ws.createWindow(CLASS_NAME, u"", STYLE_NO_ACTIVATE, 0, 0, h - height_, w, height_);
  if (handle_) bars()[handle_] = this;
}

SoftKeyBar::~SoftKeyBar() {
  if (!handle_) return;
  bars().erase(handle_);
  if (WindowSystem::exists()) WindowSystem::get().destroyWindow(handle_);
}

void SoftKeyBar::setLabel(int button, const std::u16string& label) {
  std::u16string& l = labels_[button == 0 ? 0 : 1];
  if (l == label) return;
  l = label;
  if (handle_) WindowSystem::get().invalidate(handle_, nullptr, false);
}

void SoftKeyBar::place(bool visible) {
  if (!handle_) return;
  WindowSystem& ws = WindowSystem::get();
  if (visible) {
    int w, h;
    ws.screenSize(&w, &h);
    ws.move(handle_, 0, h - height_, w, height_);
  }
  ws.show(handle_, visible);
}

int SoftKeyBar::buttonAt(int x, int y) const {
  PixelRect r = WindowSystem::get().getRect(handle_);
  int w = r.x1 - r.x0;
  if (x < 0 || x >= w || y < 0 || y >= r.y1 - r.y0) return -1;
  return x < w / 2 ? 0 : 1;
}

void SoftKeyBar::paint() {
  WindowSystem& ws = WindowSystem::get();
  Surface* surface = ws.getSurface(handle_);
  if (!surface) return;
  PixelRect r = ws.getRect(handle_);
  const int w = r.x1 - r.x0, h = r.y1 - r.y0, half = w / 2;
  ControlPainter p(*surface);
  p.fill(0, 0, w, h, ControlLook::CAPTION);
  if (pressed_ >= 0)
    p.fill(pressed_ == 0 ? 0 : half, 0, pressed_ == 0 ? half : w - half, h, ControlLook::HIGHLIGHT);
  p.fill(0, 0, w, ControlLook::BORDER, ControlLook::OUTLINE);
  p.fill(half, ControlLook::PADDING, ControlLook::BORDER, h - 2 * ControlLook::PADDING,
         ControlLook::SEPARATOR);
  const int top = (h - ControlPainter::lineHeight()) / 2;
  for (int i = 0; i < 2; ++i) {
    const int left = i == 0 ? 0 : half, room = (i == 0 ? half : w - half) - 2 * ControlLook::PADDING;
    std::u16string shown = ControlPainter::fit(labels_[i], room);
    p.text(shown, left + ((i == 0 ? half : w - half) - ControlPainter::textWidth(shown)) / 2, top,
           ControlLook::CAPTION_TEXT);
  }
}

intptr_t SoftKeyBar::procedure(WindowHandle window, uint32_t kind, uintptr_t wParam, intptr_t lParam) {
  auto found = bars().find(window);
  return found == bars().end() ? 0 : found->second->handle(kind, wParam, lParam);
}

intptr_t SoftKeyBar::handle(uint32_t kind, uintptr_t wParam, intptr_t lParam) {
  (void)wParam;
  WindowSystem& ws = WindowSystem::get();
  const int x = signedPointX(lParam), y = signedPointY(lParam);
  switch (kind) {
    case WM_PAINT:
      paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_LBUTTONDOWN:
      pressed_ = buttonAt(x, y);
      if (pressed_ >= 0) {
        ws.setCapture(handle_);
        ws.invalidate(handle_, nullptr, false);
      }
      return 0;
    case WM_LBUTTONUP: {
      if (pressed_ < 0) return 0;
      const int was = pressed_;
      pressed_ = -1;
      ws.releaseCapture();
      ws.invalidate(handle_, nullptr, false);
      // A release off the button it went down on takes the press back.
      if (buttonAt(x, y) == was)
        ws.post(target_, WM_COMMAND, makeWParam(static_cast<uint32_t>(commands_[was]), 0), 0);
      return 0;
    }
    default:
      return 0;
  }
}

}  // namespace platform
}  // namespace vwt
