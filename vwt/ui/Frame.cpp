#include "vwt/ui/Frame.h"

#include "vwt/lang/System.h"
#include "vwt/platform/InstanceChannel.h"
#include "vwt/platform/MessageKinds.h"
#include "vwt/platform/ScreenMetrics.h"
#include "vwt/platform/SoftKeyBar.h"
#include "vwt/platform/VirtualKeys.h"
#include "vwt/platform/WindowSystem.h"
#include "vwt/ui/Application.h"
#include "vwt/ui/Component.h"
#include "vwt/ui/Graphics.h"
#include "vwt/ui/TextBox.h"

using namespace vwt::platform;

namespace {
bool inKeyRange(int key) { return key >= 0 && key <= 127; }
// A hung first instance must not hang the second.
const int RAISE_TIMEOUT_MS = 2000;
}  // namespace

Frame::Frame(Application* application, const String& title)
    : Window(title), application_(application), dispatchTargets_(false) {
  if (application_) application_->addFrame(this);
  x01t_ = System::getTerminalName() == u"X01T";
  for (int& k : pressedAs_) k = KEY_NONE;
}

Frame::~Frame() {
  delete imeTextBox_;
  imeTextBox_ = nullptr;
  Frame::dispose();
}

void Frame::dispose() {
  stopInstanceChannel();
  softKeyBar_.reset();
  Window::dispose();
}

bool Frame::initializeWindow(const String& className, int acceleratorResource, int iconResource,
                             int thirdResource, int menuBarId) {
  (void)acceleratorResource, (void)thirdResource;
  Application::applyScreenProperties();
  WindowSystem& ws = WindowSystem::get();
  if (bringBackFirstInstance(className)) return false;
  menuBarId_ = menuBarId;
  if (!registClass(className, iconResource) || !createWindow(className)) return false;
  menuBarHeight_ = DEFAULT_MENU_BAR_HEIGHT;
  int w, h;
  ws.screenSize(&w, &h);
  ws.move(handle_, 0, 0, w, fullScreen_ ? h : h - menuBarHeight_);
  softKeyBar_.reset(new SoftKeyBar(handle_, menuBarHeight_, softKeyCommandId_[0], softKeyCommandId_[1]));
  for (int i = 0; i < 2; ++i)
    softKeyBar_->setLabel(
        i, std::u16string(softLabel_[i].getCString(), static_cast<size_t>(softLabel_[i].length())));
  // Without a menu bar resource the bar still shows, with the default soft-key commands.
  if (menuBarId_) menuBar_ = softKeyBar_->getHandle();
  softKeyBar_->place(!fullScreen_ && (!application_ || application_->getCommandShow() != 0));
  if (!application_ || application_->getCommandShow() != 0) ws.show(handle_, true);
  ws.update();
  startInstanceChannel(className);
  return true;
}

bool Frame::registClass(const String& className, int iconResource) {
  (void)iconResource;
  WindowSystem& ws = WindowSystem::get();
  std::u16string name(className.getCString(), static_cast<size_t>(className.length()));
  if (ws.isClassRegistered(name)) return true;
  return ws.registerClass(WindowClass{name, &Frame::frameProcedure, 0xFFFFFFFFu});
}

bool Frame::createWindow(const String& className) {
  WindowSystem& ws = WindowSystem::get();
  int w, h;
  ws.screenSize(&w, &h);
  int handle = ws.createWindow(
      std::u16string(className.getCString(), static_cast<size_t>(className.length())),
      std::u16string(text_.getCString(), static_cast<size_t>(text_.length())), 0, 0, 0, 0, w, h);
  return handle != 0 && handle_ == handle;
}

void Frame::onCreate() {
  // No menu-bar resources on this platform yet: the soft keys keep their default commands.
  menuBar_ = 0;
  setSoftLabel(SOFT_KEY_LEFT, String());
  setSoftLabel(SOFT_KEY_RIGHT, String());
}

void Frame::onDestory() {
  delete imeTextBox_;
  imeTextBox_ = nullptr;
  softKeyBar_.reset();
  menuBar_ = 0;
}

void Frame::setSoftLabel(SoftKey key, const String& label) {
  const int i = key == SOFT_KEY_LEFT ? 0 : 1;
  softLabel_[i] = label;
  if (softKeyBar_)
    softKeyBar_->setLabel(i, std::u16string(label.getCString(), static_cast<size_t>(label.length())));
}

int Frame::getSoftKeyFromCommandId(int id) const {
  if (id == softKeyCommandId_[0]) return 0;
  if (id == softKeyCommandId_[1]) return 1;
  return -1;
}

void Frame::setFullScreen(bool on) {
  fullScreen_ = on;
  if (!handle_) return;
  int w, h;
  WindowSystem::get().screenSize(&w, &h);
  setPosition(0, 0, w, on ? h : h - menuBarHeight_);
  if (softKeyBar_) softKeyBar_->place(!on);
}

void Frame::imeOn(const String& initialText, int style, int mode) {
  // The old box goes first, its window with it.
  setImeTextBox(nullptr);
  if (!handle_) return;
  TextBox* box = new TextBox(this, 0, 0, getWidth(), getHeight(), initialText, style, mode);
  box->addListener(this);
  setImeTextBox(box);
}

void Frame::setImeTextBox(Window* textBox) {
  if (imeTextBox_ == textBox) return;
  delete imeTextBox_;
  imeTextBox_ = textBox;
}

bool Frame::isImeVisible() const { return imeTextBox_ && imeTextBox_->isVisible(); }

void Frame::setImeTextBoxSize(int width, int height) {
  if (imeTextBox_) imeTextBox_->setSize(width, height);
}

void Frame::activateIme() {
  if (!isImeVisible()) return;
  imeTextBox_->requestFocus();
  if (fullScreen_) setFullScreen(false);
}

void Frame::onKeyPressedBack() {
  if (!isImeVisible()) {
    WindowSystem& ws = WindowSystem::get();
    ws.post(handle_, WM_KEYDOWN, VK_BACK, keyDownParam(false));
    ws.post(handle_, WM_KEYUP, VK_BACK, keyUpParam());
    return;
  }
  imeTextBox_->onKeyPressed(KEY_BACKSPACE);
  imeTextBox_->onKeyReleased(KEY_BACKSPACE);
}

void Frame::setKeypadState(int key, bool down) {
  if (!inKeyRange(key)) return;
  uint32_t bit = 1u << (key & 31);
  if (down)
    keypadState_[key >> 5] |= bit;
  else
    keypadState_[key >> 5] &= ~bit;
}

bool Frame::getKeyCodeState(int key) const {
  return inKeyRange(key) && (keypadState_[key >> 5] & (1u << (key & 31))) != 0;
}

void Frame::dispatchEvent(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
      break;
    default:
      return;
  }
  WindowSystem& ws = WindowSystem::get();
  for (int i = 0; i < dispatchTargets_.size(); ++i) {
    Window* target = dispatchTargets_.elementAt(i);
    if (target && target->getHandle()) ws.send(target->getHandle(), message, wParam, lParam);
  }
}

void Frame::setDispatchEvent(Window* target) { dispatchTargets_.addElement(target); }

void Frame::clearDispatch() { dispatchTargets_.clear(); }

bool Frame::onCommand(int id) {
  if (Component* c = getComponent(id)) {
    c->fireActionEvent(id);
    return true;
  }
  int k = getSoftKeyFromCommandId(id);
  if (isImeVisible()) {
    if (k == 0 || k == 1) {
      int key = k == 0 ? KEY_SOFT1 : KEY_SOFT2;
      imeTextBox_->onKeyPressed(key);
      imeTextBox_->onKeyReleased(key);
    } else if (id == IME_CLOSE_COMMAND) {
      setImeTextBox(nullptr);
    }
    return false;
  }
  if (k < 0) return false;
  int key = k == 0 ? KEY_SOFT1 : KEY_SOFT2;
  onKeyPressed(key);
  onKeyReleased(key);
  return true;
}

void Frame::keyDown(int vk, intptr_t lParam) {
  if (vk == VK_PROCESSKEY) vk = lastWMChar_;
  bool repeat = isKeyRepeat(lParam);
  if (x01t_) {
    if (vk == VK_MODIFIER_X01T) {
      modifierHeld_ = true;
      previousKey_ = -1;
      return;
    }
    if (modifierHeld_) {
      if (vk == previousKey_) return;
      int key = translateKey(ConvertVKeyToKey(vk));
      setKeypadState(key, false);
      previousKey_ = vk;
      onKeyReleased(key);
      return;
    }
  }
  if (repeat) return;
  int key = translateKey(ConvertVKeyToKey(vk));
  previousKey_ = vk;
  if (inKeyRange(key)) {
    if (getKeyCodeState(key)) return;
    setKeypadState(key, true);
    // The release goes to the code the press had, even when shift has gone up in between.
    if (vk >= 0 && vk < 256) pressedAs_[vk] = key;
  }
  onKeyPressed(key);
}

void Frame::keyUp(int vk) {
  if (vk == VK_PROCESSKEY) vk = lastWMChar_;
  modifierHeld_ = false;
  previousKey_ = -1;
  int key = translateKey(ConvertVKeyToKey(vk));
  if (vk >= 0 && vk < 256 && pressedAs_[vk] != KEY_NONE) {
    key = pressedAs_[vk];
    pressedAs_[vk] = KEY_NONE;
  }
  if (!getKeyCodeState(key)) return;
  setKeypadState(key, false);
  onKeyReleased(key);
}

void Frame::resizeToClient(bool resizeTextBox) {
  // No input panel here: the client rectangle is the visible desktop.
  int width = getWidth(), height = getHeight();
  if (resizeTextBox && imeTextBox_) imeTextBox_->setSize(width, height);
  onResize(width, height);
}

intptr_t Frame::frameProcedure(int handle, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  Application* app = Application::getCurrentApp();
  Frame* frame = app ? app->getFrame() : nullptr;
  if (!frame) return 0;
  return frame->handleFrameMessage(handle, message, wParam, lParam);
}

bool Frame::translateAccelerator(int handle, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  (void)lParam;
  if (message != WM_KEYDOWN || accelerator_.isEmpty() || !handle_) return false;
  if (handle != handle_ && WindowSystem::get().getParent(handle) != handle_) return false;
  int id = accelerator_.commandOf(static_cast<int>(wParam));
  if (id < 0) return false;
  WindowSystem::get().send(handle_, WM_COMMAND, makeWParam(static_cast<uint32_t>(id), 1), 0);
  return true;
}

intptr_t Frame::handleFrameMessage(int handle, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  dispatchEvent(message, wParam, lParam);
  switch (message) {
    case WM_CREATE:
      handle_ = handle;
      onCreate();
      return 0;
    case WM_DESTROY:
      handle_ = 0;
      delete graphics_;
      graphics_ = nullptr;
      WindowSystem::get().postQuit(0);
      return 0;
    case WM_SIZE:
      resizeToClient(true);
      return 0;
    case WM_SETTINGCHANGE:
      if (wParam == SPI_SETSIPINFO) resizeToClient(false);
      return 0;
    case WM_ACTIVATE:
      activateIme();
      onActivate(lowWord(wParam) != WA_INACTIVE);
      return 0;
    case WM_PAINT: {
      Graphics g(WindowSystem::get().getSurface(handle));
      onPaint(&g);
      return 0;
    }
    case WM_CLOSE:
      if (onClose()) dispose();
      return 0;
    case WM_ERASEBKGND:
      if (denyErasebkgnd()) return 1;
      onEraseBackground();
      return 0;
    case WM_COPYDATA: {
      const CopyData* payload = reinterpret_cast<const CopyData*>(lParam);
      // The payload's size is checked before anything reads it.
      if (!payload || payload->length < 0 || (payload->length > 0 && !payload->data)) return 0;
      Window sender(static_cast<int>(wParam));
      bool answer = onShortMessage(&sender, payload->data, payload->length);
      sender.setHandle(0);
      return answer ? 1 : 0;
    }
    case WM_KEYDOWN:
      keyDown(static_cast<int>(wParam), lParam);
      return 0;
    case WM_KEYUP:
      keyUp(static_cast<int>(wParam));
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
    case WM_MOUSEMOVE:
      onPointerDragged(pointX(lParam), pointY(lParam));
      return 0;
    case WM_LBUTTONDOWN:
      onPointerPressed(pointX(lParam), pointY(lParam));
      return 0;
    case WM_LBUTTONUP:
      onPointerReleased(pointX(lParam), pointY(lParam));
      return 0;
    case WM_HIBERNATE:
      onHibernate();
      return 0;
    default:
      return 0;
  }
}

bool Frame::bringBackFirstInstance(const String& className) {
  WindowSystem& ws = WindowSystem::get();
  int found = ws.findWindow(std::u16string(className.getCString(), static_cast<size_t>(className.length())));
  if (found) {
    ws.bringToTop(found);
    ws.setActive(found);
    Window existing(found);
    onLaunchDuplicate(&existing);
    existing.setHandle(0);
    return true;
  }
  int error = 0;
  channel_ = InstanceChannel::claim(
      className,
      [this](int kind, const std::vector<char>& data) {
        (void)kind;
        // The channel bounds the size; an empty message still reaches the frame with no bytes.
        Window sender;
        bool answer = onShortMessage(&sender, data.empty() ? "" : data.data(), static_cast<int>(data.size()));
        return answer ? 0 : 1;
      },
      &error);
  if (channel_ || error != 0) return false;  // ours now, or no channel here: run alone
  InstanceChannel::raise(className, RAISE_TIMEOUT_MS);
  Window existing;
  existing.setRemoteClass(className);
  onLaunchDuplicate(&existing);
  return true;
}

void Frame::startInstanceChannel(const String& className) {
  (void)className;
  if (!channel_) return;
  WindowSystem& ws = WindowSystem::get();
  InstanceChannel* channel = channel_.get();
  channel->setRaiseHandler([this] {
    if (!handle_) return;
    WindowSystem& w = WindowSystem::get();
    w.bringToTop(handle_);
    w.setActive(handle_);
    w.display().raise();
  });
  ws.setService([channel] { channel->serve(); });
  Display& display = ws.display();
  channel->setWakeCallback([&display] { display.wake(); });
}

void Frame::stopInstanceChannel() {
  if (!channel_) return;
  if (WindowSystem::exists()) WindowSystem::get().setService(nullptr);
  channel_.reset();
}
