#include "vwt/ui/StaticImageWindow.h"

#include "vwt/platform/MessageKinds.h"
#include "vwt/platform/WindowSystem.h"
#include "vwt/ui/Application.h"
#include "vwt/ui/Graphics.h"
#include "vwt/ui/Image.h"

using namespace vwt::platform;

StaticImageWindow::StaticImageWindow(const String& className, Window* parent, Image* image, int x, int y,
                                     int width, int height, int clipX, int clipY, int clipWidth,
                                     int clipHeight)
    : image_(image),
      clipX_(clipX),
      clipY_(clipY),
      clipWidth_(clipWidth),
      clipHeight_(clipHeight),
      className_(className) {
  WindowSystem& ws = WindowSystem::get();
  std::u16string name(className_.getCString(), static_cast<size_t>(className_.length()));
  if (!ws.isClassRegistered(name))
    ws.registerClass(WindowClass{name, &StaticImageWindow::staticImageProcedure});
  int parentHandle = parent ? parent->getHandle() : 0;
  uint32_t style = (parentHandle ? uint32_t{STYLE_CHILD} : 0u) | uint32_t{STYLE_VISIBLE};
  handle_ = ws.createWindow(name, std::u16string(), style, parentHandle, x, y, width, height);
  if (handle_)
    if (Application* app = Application::getCurrentApp()) app->addWindowHandle(handle_, this);
  setPosition(x, y, width, height);
}

StaticImageWindow::~StaticImageWindow() {}

void StaticImageWindow::setPosition(int x, int y, int width, int height) {
  Window::setPosition(x, y, width, height);
  windowWidth_ = width;
  windowHeight_ = height;
  drawImage();
}

void StaticImageWindow::setImageClip(int x, int y, int width, int height) {
  clipX_ = x;
  clipY_ = y;
  clipWidth_ = width;
  clipHeight_ = height;
}

void StaticImageWindow::drawImage() {
  Graphics* g = getGraphics();
  if (!g || !image_) return;
  if (windowWidth_ == clipWidth_ && windowHeight_ == clipHeight_)
    g->drawImage(image_, 0, 0, clipX_, clipY_, clipWidth_, clipHeight_);
  else
    g->drawScaledImage(image_, 0, 0, windowWidth_, windowHeight_, clipX_, clipY_, clipWidth_, clipHeight_);
}

intptr_t StaticImageWindow::staticImageProcedure(int handle, uint32_t message, uintptr_t wParam,
                                                 intptr_t lParam) {
  Application* app = Application::getCurrentApp();
  StaticImageWindow* w = app ? dynamic_cast<StaticImageWindow*>(app->getWindowFromHandle(handle)) : nullptr;
  switch (message) {
    case WM_PAINT:
      // The paint pass has already taken the dirty area: nothing is left to validate.
      if (w) w->drawImage();
      return 0;
    case WM_ERASEBKGND:
      // Not erased: the picture covers the window, and a white flash under it would show.
      return 1;
    case WM_DESTROY:
      if (w) return w->handleMessage(message, wParam, lParam);
      return 0;
    default:
      return 0;
  }
}
