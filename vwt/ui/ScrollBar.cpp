#include "vwt/ui/ScrollBar.h"

#include <algorithm>

#include "vwt/platform/MessageKinds.h"
#include "vwt/platform/WindowSystem.h"
#include "vwt/ui/Application.h"
#include "vwt/ui/Graphics.h"

using namespace vwt::platform;

ScrollBar::ScrollBar(Window* parent, int x, int y, int thickness, int length, DIRECTION direction)
    : parent_(parent),
      thickness_(thickness),
      direction_(direction == VERTICAL ? VERTICAL : HORIZONTAL),
      className_(direction == VERTICAL ? u"veskScrollBarVertical"_s : u"veskScrollBarHorizontal"_s) {
  WindowSystem& ws = WindowSystem::get();
  std::u16string name(className_.getCString(), static_cast<size_t>(className_.length()));
  if (!ws.isClassRegistered(name)) ws.registerClass(WindowClass{name, &ScrollBar::scrollBarProcedure});
  int w = direction_ == VERTICAL ? thickness : length;
  int h = direction_ == VERTICAL ? length : thickness;
  int parentHandle = parent ? parent->getHandle() : 0;
  uint32_t style = (parentHandle ? uint32_t{STYLE_CHILD} : 0u) | uint32_t{STYLE_VISIBLE};
  x_ = x;
  y_ = y;
  // Until the handle is registered the procedure answers 0 to the creation messages.
  handle_ = ws.createWindow(name, std::u16string(), style, parentHandle, x, y, w, h);
  if (handle_)
    if (Application* app = Application::getCurrentApp()) app->addWindowHandle(handle_, this);
}

ScrollBar::~ScrollBar() {}

void ScrollBar::setBarLength(int total, int visible) {
  total_ = total;
  visible_ = visible;
  position_ = 0;
}

void ScrollBar::setButtonPosition(int position) {
  // A view larger than its content has only position 0.
  position_ = std::max(0, std::min(position, total_ - visible_));
}

void ScrollBar::setColor(int background, int frame, int knob) {
  backgroundColor_ = background & 0xFFFFFF;
  frameColor_ = frame & 0xFFFFFF;
  knobColor_ = knob & 0xFFFFFF;
}

bool ScrollBar::getKnob(int trackLength, int total, int visible, int position, int* start, int* length) {
  if (total == 0) return false;
  int64_t h = trackLength;
  int64_t k, s;
  if (total == visible) {
    k = h;
    s = 0;
  } else {
    // 64 bits: content lengths of whole documents times screen pixels.
    k = std::max<int64_t>(1, static_cast<int64_t>(visible) * h / total);
    s = (h - k) * position / (static_cast<int64_t>(total) - visible);
  }
  *start = static_cast<int>(std::max<int64_t>(INT32_MIN, std::min<int64_t>(INT32_MAX, s)));
  *length = static_cast<int>(std::min<int64_t>(INT32_MAX, k));
  return true;
}

void ScrollBar::onPaint(Graphics* g) {
  int s, k;
  bool vertical = direction_ == VERTICAL;
  int w = getWidth(), h = getHeight();
  // Along the track and across it.
  int along = vertical ? h : w, across = vertical ? w : h;
  if (!getKnob(along, total_, visible_, position_, &s, &k)) return;
  g->setClip(0, 0, w, h);
  // [from, to) along the track by [c, c + acrossLength) across it, cut to the window.
  auto fill = [&](int color, int64_t from, int64_t to, int c, int acrossLength) {
    from = std::max<int64_t>(from, 0);
    to = std::min<int64_t>(to, along);
    if (from >= to || acrossLength <= 0) return;
    int a = static_cast<int>(from), n = static_cast<int>(to - from);
    g->setColor(color);
    if (vertical)
      g->fillRect(c, a, acrossLength, n);
    else
      g->fillRect(a, c, n, acrossLength);
  };
  // The frame: both sides of the track and both ends.
  fill(frameColor_, 0, along, 0, 1);
  fill(frameColor_, 0, along, across - 1, 1);
  fill(frameColor_, 0, 1, 0, across);
  fill(frameColor_, along - 1, along, 0, across);
  // Inside the sides: the track before the knob, the knob, then the track for the h - s - k - 1
  // pixels before the far end.
  int64_t knobEnd = static_cast<int64_t>(s) + k;
  fill(backgroundColor_, 0, s, 1, across - 2);
  fill(knobColor_, s, knobEnd, 1, across - 2);
  fill(backgroundColor_, knobEnd, along - 1, 1, across - 2);
}

intptr_t ScrollBar::scrollBarProcedure(int handle, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  Application* app = Application::getCurrentApp();
  ScrollBar* bar = app ? dynamic_cast<ScrollBar*>(app->getWindowFromHandle(handle)) : nullptr;
  if (!bar) return 0;
  switch (message) {
    case WM_PAINT: {
      Graphics g(WindowSystem::get().getSurface(handle));
      bar->onPaint(&g);
      return 0;
    }
    case WM_SIZE:
    case WM_ERASEBKGND:
      // 0: the window system fills the class's white background.
      return 0;
    case WM_DESTROY:
      // Destroyed with its parent: the object forgets the handle.
      return bar->handleMessage(message, wParam, lParam);
    default:
      return 0;
  }
}
