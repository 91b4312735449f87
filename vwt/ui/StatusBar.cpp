#include "vwt/ui/StatusBar.h"

#include "vwt/platform/MessageKinds.h"
#include "vwt/platform/WindowSystem.h"
#include "vwt/ui/Application.h"
#include "vwt/ui/Frame.h"
#include "vwt/ui/Graphics.h"

using namespace vwt::platform;

StatusBar::StatusBar(Frame* parent, int height, const String& className)
    : parent_(parent), className_(className) {
  WindowSystem& ws = WindowSystem::get();
  std::u16string name(className_.getCString(), static_cast<size_t>(className_.length()));
  if (!ws.isClassRegistered(name)) ws.registerClass(WindowClass{name, &StatusBar::statusBarProcedure});
  int parentHandle = parent ? parent->getHandle() : 0;
  int parentWidth = parent ? parent->getWidth() : 0, parentHeight = parent ? parent->getHeight() : 0;
  uint32_t style = (parentHandle ? uint32_t{STYLE_CHILD} : 0u) | uint32_t{STYLE_VISIBLE};
  x_ = 0;
  y_ = parentHeight - height;
  // Until the handle is registered the procedure answers 0 to the creation messages.
  handle_ = ws.createWindow(name, std::u16string(), style, parentHandle, x_, y_, parentWidth, height);
  if (handle_)
    if (Application* app = Application::getCurrentApp()) app->addWindowHandle(handle_, this);
}

StatusBar::~StatusBar() {}

void StatusBar::setSize(int width, int height) {
  (void)height;
  int own = getHeight();
  setPosition(0, (parent_ ? parent_->getHeight() : 0) - own, width, own);
}

void StatusBar::setHeight(int height) {
  int parentWidth = parent_ ? parent_->getWidth() : 0, parentHeight = parent_ ? parent_->getHeight() : 0;
  setPosition(0, parentHeight - height, parentWidth, height);
}

intptr_t StatusBar::statusBarProcedure(int handle, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  Application* app = Application::getCurrentApp();
  StatusBar* bar = app ? dynamic_cast<StatusBar*>(app->getWindowFromHandle(handle)) : nullptr;
  if (!bar) return 0;
  switch (message) {
    case WM_PAINT: {
      Graphics g(WindowSystem::get().getSurface(handle));
      bar->onPaint(&g);
      return 0;
    }
    case WM_SIZE:
      return 0;
    case WM_ERASEBKGND:
      // 0: the window system then fills the class's white background.
      bar->onEraseBackground();
      return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
      return 0;
    case WM_LBUTTONUP:
      if (Frame* frame = bar->parent_) {
        int y = signedPointY(lParam) + frame->getHeight() - bar->getHeight();
        frame->processTapStatusbar(signedPointX(lParam), y);
      }
      return 0;
    case WM_DESTROY:
      // Destroyed with its frame: the object forgets the handle.
      return bar->handleMessage(message, wParam, lParam);
    default:
      return 0;
  }
}
