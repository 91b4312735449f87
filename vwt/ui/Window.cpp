#include "vwt/ui/Window.h"

#include "vwt/lang/StringBuffer.h"
#include "vwt/platform/InstanceChannel.h"
#include "vwt/platform/MessageKinds.h"
#include "vwt/platform/PixelRegion.h"
#include "vwt/platform/VirtualKeys.h"
#include "vwt/platform/WindowSystem.h"
#include "vwt/ui/Application.h"
#include "vwt/ui/Frame.h"
#include "vwt/ui/Graphics.h"
#include "vwt/ui/Region.h"

using namespace vwt::platform;

namespace {
const char16_t PLAIN_CLASS[] = u"vwt.Window";
// The window whose WM_CREATE is on its way: its handle is not registered yet.
thread_local Window* tCreating = nullptr;
// A hung receiver must not hang the sender.
const int SHORT_MESSAGE_TIMEOUT_MS = 5000;
}  // namespace

Window::Window() {}

Window::Window(const String& title) : text_(title) {}

Window::Window(int handle) : handle_(handle) {}

Window::~Window() { Window::dispose(); }

int Window::getWidth() const {
  if (!handle_ || !WindowSystem::exists()) return 0;
  PixelRect r = WindowSystem::get().getRect(handle_);
  return r.x1 - r.x0;
}

int Window::getHeight() const {
  if (!handle_ || !WindowSystem::exists()) return 0;
  PixelRect r = WindowSystem::get().getRect(handle_);
  return r.y1 - r.y0;
}

void Window::setSize(int width, int height) {
  if (!handle_) return;
  WindowSystem& ws = WindowSystem::get();
  PixelRect r = ws.getRect(handle_);
  if (r.x1 - r.x0 == width && r.y1 - r.y0 == height) return;
  ws.move(handle_, r.x0, r.y0, width, height);
}

void Window::setPosition(int x, int y) {
  x_ = x;
  y_ = y;
  if (!handle_) return;
  WindowSystem& ws = WindowSystem::get();
  PixelRect r = ws.getRect(handle_);
  if (r.x0 == x && r.y0 == y) return;
  ws.move(handle_, x, y, r.x1 - r.x0, r.y1 - r.y0);
}

void Window::setPosition(int x, int y, int width, int height) {
  x_ = x;
  y_ = y;
  if (!handle_) return;
  WindowSystem& ws = WindowSystem::get();
  PixelRect r = ws.getRect(handle_);
  if (r.x0 == x && r.y0 == y && r.x1 - r.x0 == width && r.y1 - r.y0 == height) return;
  ws.move(handle_, x, y, width, height);
}

void Window::setVisible(bool visible) {
  if (handle_) WindowSystem::get().show(handle_, visible);
}

bool Window::isVisible() const {
  return handle_ && WindowSystem::exists() && WindowSystem::get().isVisible(handle_);
}

void Window::requestFocus() {
  if (handle_) WindowSystem::get().setFocus(handle_);
}

void Window::setCapture() {
  if (handle_) WindowSystem::get().setCapture(handle_);
}

void Window::releaseCapture() {
  if (handle_ && WindowSystem::get().getCapture() == handle_) WindowSystem::get().releaseCapture();
}

void Window::setWindowRgn(Region* region) {
  if (!handle_) return;
  std::unique_ptr<PixelRegion> shape;
  if (region) shape.reset(region->releaseHandle());
  WindowSystem::get().setShape(handle_, std::move(shape));
}

void Window::setText(const String& text) {
  text_ = text;
  if (handle_)
    WindowSystem::get().setText(handle_,
                                std::u16string(text.getCString(), static_cast<size_t>(text.length())));
}

String Window::getText() const {
  if (!handle_) return convertCrLfToLf(text_);
  std::u16string t = WindowSystem::get().getText(handle_);
  return convertCrLfToLf(String(t.data(), 0, static_cast<int>(t.size())));
}

String Window::convertLfToCrLf(const String& text) {
  StringBuffer out;
  for (int i = 0; i < text.length(); ++i) {
    char16_t c = text.charAt(i);
    if (c == u'\n' && (i == 0 || text.charAt(i - 1) != u'\r')) out.append(u'\r');
    out.append(c);
  }
  return out.toString();
}

String Window::convertCrLfToLf(const String& text) {
  StringBuffer out;
  for (int i = 0; i < text.length(); ++i) {
    char16_t c = text.charAt(i);
    if (c == u'\r') {
      out.append(u'\n');
      if (i + 1 < text.length() && text.charAt(i + 1) == u'\n') ++i;
    } else {
      out.append(c);
    }
  }
  return out.toString();
}

Point Window::getLocationOnScreen() const {
  if (!handle_) return Point();
  PixelRect r = WindowSystem::get().getScreenRect(handle_);
  return Point(r.x0, r.y0);
}

Graphics* Window::getGraphics() {
  if (!handle_) return nullptr;
  Surface* surface = WindowSystem::get().getSurface(handle_);
  if (!graphics_) graphics_ = new Graphics(surface);
  return graphics_;
}

void Window::dispose() {
  delete graphics_;
  graphics_ = nullptr;
  int h = handle_;
  handle_ = 0;
  if (h && WindowSystem::exists()) {
    if (Application* app = Application::getCurrentApp()) app->removeWindowHandle(h);
    WindowSystem::get().destroyWindow(h);
  }
}

bool Window::createWindow(Window* parent, int x, int y, int width, int height, bool visible) {
  WindowSystem& ws = WindowSystem::get();
  if (!ws.isClassRegistered(PLAIN_CLASS))
    ws.registerClass(WindowClass{PLAIN_CLASS, &Window::windowProcedure});
  uint32_t style = (parent ? uint32_t{STYLE_CHILD} : 0u) | (visible ? uint32_t{STYLE_VISIBLE} : 0u);
  Window* outer = tCreating;
  tCreating = this;
  x_ = x;
  y_ = y;
  int h =
      ws.createWindow(PLAIN_CLASS, std::u16string(text_.getCString(), static_cast<size_t>(text_.length())),
                      style, parent ? parent->getHandle() : 0, x, y, width, height);
  tCreating = outer;
  return h != 0;
}

intptr_t Window::windowProcedure(int handle, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  Application* app = Application::getCurrentApp();
  Window* w = nullptr;
  if (message == WM_CREATE && tCreating) {
    w = tCreating;
    tCreating = nullptr;
    w->handle_ = handle;
    if (app) app->addWindowHandle(handle, w);
  } else if (app) {
    w = app->getWindowFromHandle(handle);
  }
  if (!w) return 0;
  return w->handleMessage(message, wParam, lParam);
}

intptr_t Window::handleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  switch (message) {
    case WM_CREATE:
      onCreate();
      return 0;
    case WM_SIZE:
      onResize(pointX(lParam), pointY(lParam));
      return 0;
    case WM_PAINT: {
      Graphics g(WindowSystem::get().getSurface(handle_));
      onPaint(&g);
      return 0;
    }
    case WM_ERASEBKGND:
      onEraseBackground();
      return 0;
    case WM_CLOSE:
      if (onClose()) dispose();
      return 0;
    case WM_DESTROY:
      if (Application* app = Application::getCurrentApp()) app->removeWindowHandle(handle_);
      handle_ = 0;
      delete graphics_;
      graphics_ = nullptr;
      return 0;
    case WM_KEYDOWN:
      if (!isKeyRepeat(lParam)) onKeyPressed(ConvertVKeyToKey(static_cast<int>(wParam)));
      return 0;
    case WM_KEYUP:
      onKeyReleased(ConvertVKeyToKey(static_cast<int>(wParam)));
      return 0;
    case WM_CHAR:
      if (wParam >= 1 && wParam <= 127) lastWMChar_ = static_cast<unsigned char>(wParam);
      if (wParam >= 1 && wParam <= 0xFFFF) onCharacter(static_cast<char16_t>(wParam));
      return 0;
    case WM_COMMAND:
      return onCommand(static_cast<int>(lowWord(wParam))) ? 1 : 0;
    case WM_TIMER:
      onTimerExpired(static_cast<int>(wParam));
      return 0;
    case WM_LBUTTONDOWN:
      onPointerPressed(pointX(lParam), pointY(lParam));
      return 0;
    case WM_MOUSEMOVE:
      onPointerDragged(pointX(lParam), pointY(lParam));
      return 0;
    case WM_LBUTTONUP:
      onPointerReleased(pointX(lParam), pointY(lParam));
      return 0;
    case WM_ACTIVATE:
      onActivate(lowWord(wParam) != WA_INACTIVE);
      return 0;
    default:
      return 0;
  }
}

void Window::repaint() const {
  if (!handle_ || !WindowSystem::exists()) return;
  WindowSystem::get().requestPaint(handle_, false);
}

int Window::sendShortMessage(const Window* target, const char* data, int length) const {
  if (!target || length < 0 || (length > 0 && !data)) return -1;
  if (!target->getHandle() && !target->remoteClass_.isNull())
    return InstanceChannel::send(target->remoteClass_, 0, data, length, SHORT_MESSAGE_TIMEOUT_MS);
  if (!target->getHandle()) return -1;
  CopyData payload;
  payload.length = length;
  payload.data = data;
  WindowSystem& ws = WindowSystem::get();
  if (!ws.isWindow(target->getHandle())) return -1;
  intptr_t r = ws.send(target->getHandle(), WM_COPYDATA, static_cast<uintptr_t>(handle_),
                       reinterpret_cast<intptr_t>(&payload));
  return r ? 0 : 1;
}

int Window::sendShortMessage(const String& className, const char* data, int length) const {
  if (length < 0 || (length > 0 && !data)) return -1;
  if (WindowSystem::exists()) {
    int h = WindowSystem::get().findWindow(
        std::u16string(className.getCString(), static_cast<size_t>(className.length())));
    if (h) {
      Window target(h);
      int r = sendShortMessage(&target, data, length);
      target.setHandle(0);
      return r;
    }
  }
  return InstanceChannel::send(className, 0, data, length, SHORT_MESSAGE_TIMEOUT_MS);
}

int Window::ConvertVKeyToKey(int vk) {
  if (vk >= '0' && vk <= '9') return vk - '0';
  switch (vk) {
    case 0x2A:
    case 0x72:
    case 0x77:
    case 0x6A:
    case 0xDE:
      return KEY_ASTERISK;
    case 0x23:
    case 0x73:
    case 0x78:
      return KEY_POUND;
    case VK_LEFT:
      return KEY_LEFT;
    case VK_UP:
      return KEY_UP;
    case VK_RIGHT:
      return KEY_RIGHT;
    case VK_DOWN:
      return KEY_DOWN;
    case VK_RETURN:
    case VK_ACTION:
      return KEY_SELECT;
    case VK_F1:
      return KEY_SOFT1;
    case VK_F2:
      return KEY_SOFT2;
    case VK_ESCAPE:
      return KEY_ESCAPE;
    case VK_SHIFT:
      return KEY_SHIFT;
    case VK_BACK:
      return KEY_BACKSPACE;
    default:
      return KEY_NONE;
  }
}

int Window::ConvertAsciiToKey(int c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c == '*') return KEY_ASTERISK;
  if (c == '#') return KEY_POUND;
  return KEY_NONE;
}

int Window::translateKey(int key) {
  Application* app = Application::getCurrentApp();
  Frame* frame = app ? app->getFrame() : nullptr;
  if (frame && frame->isKeyPressed(KEY_SHIFT)) {
    if (key == 3) return KEY_POUND;
    if (key == 8) return KEY_ASTERISK;
  }
  return key;
}
