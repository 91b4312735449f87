#include "browser/shell/CredentialDialog.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "vwt/lang/Resource.h"
#include "vwt/platform/ControlLook.h"
#include "vwt/platform/ControlPainter.h"
#include "vwt/platform/EditControl.h"
#include "vwt/platform/MessageKinds.h"
#include "vwt/platform/ModalLoop.h"
#include "vwt/platform/VirtualKeys.h"
#include "vwt/platform/WindowSystem.h"
#include "vwt/ui/Window.h"

using vwt::platform::ControlLook;
using vwt::platform::ControlPainter;
using vwt::platform::EditControl;
using vwt::platform::ModalLoop;
using vwt::platform::PixelRect;
using vwt::platform::WindowHandle;
using vwt::platform::WindowSystem;

namespace {

using Look = ControlLook;

const char16_t CLASS_NAME[] = u"veskCredentialDialog";
const int MAX_BOX_WIDTH = 280;
const int MAX_PROMPT_LINES = 3;
const int FIELD_HEIGHT = Look::FONT_HEIGHT + 10;
const int TITLE_TEXT = 10228;
const int USER_LABEL = 10229;
const int PASSWORD_LABEL = 10230;
const int OK_LABEL = -3000;
const int CANCEL_LABEL = -3003;
const int MAX_FIELD_UNITS = 255;
// Posted once the loop runs: the first field takes the keys.
const uint32_t FOCUS_FIELD_MESSAGE = vwt::platform::WM_USER + 0x41;

std::u16string units(const String& s) {
  return s.isNull() ? std::u16string() : std::u16string(s.getCString(), static_cast<size_t>(s.length()));
}

String text(const std::u16string& s) { return String(s.data(), 0, static_cast<int>(s.size())); }

std::u16string label(int id) { return units(Resource::getString(id)); }

bool inside(const PixelRect& r, int x, int y) { return x >= r.x0 && x < r.x1 && y >= r.y0 && y < r.y1; }

class Box {
 public:
  Box(const String& prompt, const String& user, const String& password)
      : prompt_(units(prompt)), user_(units(user)), password_(units(password)) {}

  CredentialDialog::Answer run(WindowHandle owner);
  intptr_t handle(uint32_t kind, uintptr_t wParam, intptr_t lParam);

  static std::map<WindowHandle, Box*>& open() {
    static std::map<WindowHandle, Box*> boxes;
    return boxes;
  }

 private:
  void layOut(int screenW, int screenH);
  void paint();
  void keyDown(int key);
  void command(int id, WindowHandle control);
  void focusField(WindowHandle field) {
    focusedButton_ = -1;
    WindowSystem::get().setFocus(field);
    invalidate();
  }
  int buttonAt(int x, int y) const {
    for (int i = 0; i < 2; ++i)
      if (inside(buttons_[i], x, y)) return i;
    return -1;
  }
  void press(int button) {
    loop_->done(button == 0 ? CredentialDialog::RESULT_OK : CredentialDialog::RESULT_CANCEL);
  }
  void invalidate() { WindowSystem::get().invalidate(window_, nullptr, false); }

  std::u16string prompt_, user_, password_;
  std::vector<std::u16string> promptLines_;
  WindowHandle window_ = 0;
  WindowHandle userField_ = 0;
  WindowHandle passwordField_ = 0;
  ModalLoop* loop_ = nullptr;
  int width_ = 0, height_ = 0;
  int promptY_ = 0, userLabelY_ = 0, passwordLabelY_ = 0;
  PixelRect userRect_{}, passwordRect_{};
  PixelRect buttons_[2]{};  // OK, Cancel
  int focusedButton_ = -1;  // when the box itself has the keys
  int pressed_ = -1;
};

intptr_t procedure(WindowHandle window, uint32_t kind, uintptr_t wParam, intptr_t lParam) {
  auto found = Box::open().find(window);
  return found == Box::open().end() ? 0 : found->second->handle(kind, wParam, lParam);
}

void Box::layOut(int screenW, int screenH) {
  width_ = std::max(1, std::min(screenW - 2 * Look::SCREEN_MARGIN, MAX_BOX_WIDTH));
  const int inner = Look::BORDER + Look::PADDING;
  const int lineH = ControlPainter::lineHeight();
  const int lineStep = lineH + Look::LINE_GAP;
  promptLines_ =
      prompt_.empty() ? std::vector<std::u16string>() : ControlPainter::wrap(prompt_, width_ - 2 * inner);
  if (static_cast<int>(promptLines_.size()) > MAX_PROMPT_LINES) {
    promptLines_.resize(MAX_PROMPT_LINES);
    promptLines_.back() = ControlPainter::fit(promptLines_.back() + u"\u2026", width_ - 2 * inner);
  }
  int y = Look::BORDER + Look::CAPTION_HEIGHT + Look::PADDING;
  promptY_ = y;
  if (!promptLines_.empty())
    y += static_cast<int>(promptLines_.size()) * lineStep + Look::PADDING - Look::LINE_GAP;
  userLabelY_ = y;
  y += lineH + Look::LINE_GAP;
  userRect_ = PixelRect{inner, y, width_ - inner, y + FIELD_HEIGHT};
  y = userRect_.y1 + Look::GAP;
  passwordLabelY_ = y;
  y += lineH + Look::LINE_GAP;
  passwordRect_ = PixelRect{inner, y, width_ - inner, y + FIELD_HEIGHT};
  y = passwordRect_.y1 + Look::PADDING;
  const std::u16string labels[2] = {label(OK_LABEL), label(CANCEL_LABEL)};
  int widths[2], total = Look::GAP;
  for (int i = 0; i < 2; ++i) {
    widths[i] = std::max(Look::BUTTON_MIN_WIDTH, ControlPainter::textWidth(labels[i]) + 2 * Look::PADDING);
    total += widths[i];
  }
  int x = std::max(inner, (width_ - total) / 2);
  for (int i = 0; i < 2; ++i) {
    buttons_[i] = PixelRect{x, y, x + widths[i], y + Look::BUTTON_HEIGHT};
    x += widths[i] + Look::GAP;
  }
  height_ = std::min(screenH, y + Look::BUTTON_HEIGHT + Look::PADDING + Look::BORDER);
}

void Box::paint() {
  vwt::platform::Surface* surface = WindowSystem::get().getSurface(window_);
  if (!surface) return;
  ControlPainter p(*surface);
  p.fill(0, 0, width_, height_, Look::FACE);
  p.frame(0, 0, width_, height_, Look::OUTLINE);
  p.fill(Look::BORDER, Look::BORDER, width_ - 2 * Look::BORDER, Look::CAPTION_HEIGHT, Look::CAPTION);
  p.text(ControlPainter::fit(label(TITLE_TEXT), width_ - 2 * Look::PADDING), Look::PADDING,
         Look::BORDER + (Look::CAPTION_HEIGHT - ControlPainter::lineHeight()) / 2, Look::CAPTION_TEXT);
  const int inner = Look::BORDER + Look::PADDING;
  const int lineStep = ControlPainter::lineHeight() + Look::LINE_GAP;
  for (size_t i = 0; i < promptLines_.size(); ++i)
    p.text(promptLines_[i], inner, promptY_ + static_cast<int>(i) * lineStep, Look::TEXT);
  p.text(label(USER_LABEL), inner, userLabelY_, Look::TEXT);
  p.text(label(PASSWORD_LABEL), inner, passwordLabelY_, Look::TEXT);
  const std::u16string labels[2] = {label(OK_LABEL), label(CANCEL_LABEL)};
  for (int i = 0; i < 2; ++i) {
    const PixelRect& r = buttons_[i];
    p.button(r.x0, r.y0, r.x1 - r.x0, r.y1 - r.y0, labels[i], i == focusedButton_, i == pressed_);
  }
}

void Box::keyDown(int key) {
  switch (key) {
    case vwt::platform::VK_UP:
      focusField(userField_);
      break;
    case vwt::platform::VK_DOWN:
      focusField(passwordField_);
      break;
    case vwt::platform::VK_LEFT:
    case vwt::platform::VK_RIGHT:
      focusedButton_ = focusedButton_ == 0 ? 1 : 0;
      invalidate();
      break;
    case vwt::platform::VK_SELECT:
      press(focusedButton_ < 0 ? 0 : focusedButton_);
      break;
    case vwt::platform::VK_SOFT1:
      press(0);
      break;
    case vwt::platform::VK_SOFT2:
    case vwt::platform::VK_ESCAPE:
      press(1);
      break;
    default:
      break;
  }
}

void Box::command(int id, WindowHandle control) {
  if (id == EditControl::ESCAPE_COMMAND) {
    press(1);
  } else if (id == EditControl::ENTER_COMMAND) {
    if (control == userField_)
      focusField(passwordField_);
    else
      press(0);
  }
}

intptr_t Box::handle(uint32_t kind, uintptr_t wParam, intptr_t lParam) {
  WindowSystem& ws = WindowSystem::get();
  switch (kind) {
    case vwt::platform::WM_PAINT:
      paint();
      return 0;
    case vwt::platform::WM_ERASEBKGND:
      return 1;
    case vwt::platform::WM_KEYDOWN:
      keyDown(static_cast<int>(wParam));
      return 0;
    case vwt::platform::WM_COMMAND:
      command(static_cast<int>(vwt::platform::lowWord(wParam)), static_cast<WindowHandle>(lParam));
      return 0;
    case vwt::platform::WM_LBUTTONDOWN:
      pressed_ = buttonAt(vwt::platform::signedPointX(lParam), vwt::platform::signedPointY(lParam));
      ws.setFocus(window_);
      if (pressed_ >= 0) {
        focusedButton_ = pressed_;
        ws.setCapture(window_);
        invalidate();
      }
      return 0;
    case vwt::platform::WM_LBUTTONUP: {
      if (pressed_ < 0) return 0;
      ws.releaseCapture();
      int at = buttonAt(vwt::platform::signedPointX(lParam), vwt::platform::signedPointY(lParam));
      int pressed = pressed_;
      pressed_ = -1;
      invalidate();
      if (at == pressed) press(at);
      return 0;
    }
    case vwt::platform::WM_CLOSE:
      press(1);
      return 0;
    default:
      if (kind == FOCUS_FIELD_MESSAGE)
        focusField(user_.empty() || password_.size() > 0 ? userField_ : passwordField_);
      return 0;
  }
}

CredentialDialog::Answer Box::run(WindowHandle owner) {
  CredentialDialog::Answer answer;
  WindowSystem& ws = WindowSystem::get();
  if (!ws.isClassRegistered(CLASS_NAME) &&
      !ws.registerClass(vwt::platform::WindowClass{CLASS_NAME, &procedure, Look::FACE}))
    return answer;
  int screenW = 0, screenH = 0;
  ws.screenSize(&screenW, &screenH);
  layOut(screenW, screenH);
  window_ = ws.createWindow(CLASS_NAME, label(TITLE_TEXT), 0, 0, (screenW - width_) / 2,
                            std::max(0, (screenH - height_) / 2), width_, height_);
  if (!window_) return answer;
  open()[window_] = this;
  userField_ = EditControl::create(window_, userRect_.x0, userRect_.y0, userRect_.x1 - userRect_.x0,
                                   FIELD_HEIGHT, vwt::platform::STYLE_VISIBLE, user_);
  passwordField_ =
      EditControl::create(window_, passwordRect_.x0, passwordRect_.y0, passwordRect_.x1 - passwordRect_.x0,
                          FIELD_HEIGHT, vwt::platform::STYLE_VISIBLE | EditControl::EDIT_PASSWORD, password_);
  for (WindowHandle field : {userField_, passwordField_}) {
    if (!field) continue;
    EditControl::setLimit(field, MAX_FIELD_UNITS);
    int end = static_cast<int>(ws.getText(field).size());
    EditControl::setSelection(field, end, end);
  }
  ModalLoop loop(window_, owner);
  loop_ = &loop;
  ws.show(window_, true);
  ws.post(window_, FOCUS_FIELD_MESSAGE, 0, 0);
  int result = loop.exec(CredentialDialog::RESULT_CANCEL);
  std::u16string user = userField_ ? ws.getText(userField_) : user_;
  std::u16string password = passwordField_ ? ws.getText(passwordField_) : password_;
  if (loop.answeredByScript() && !loop.answerText().empty()) {
    const std::u16string& given = loop.answerText();
    size_t colon = given.find(u':');
    user = given.substr(0, colon);
    password = colon == std::u16string::npos ? std::u16string() : given.substr(colon + 1);
  }
  loop_ = nullptr;
  open().erase(window_);
  if (ws.getCapture() == window_) ws.releaseCapture();
  if (ws.isWindow(window_)) ws.destroyWindow(window_);
  answer.confirmed = result == CredentialDialog::RESULT_OK;
  if (answer.confirmed) {
    answer.user = text(user);
    answer.password = text(password);
  }
  return answer;
}

}  // namespace

CredentialDialog::Answer CredentialDialog::show(const Window* owner, const String& prompt, const String& user,
                                                const String& password) {
  if (!WindowSystem::exists()) return Answer();
  WindowSystem& ws = WindowSystem::get();
  if (!ws.isUiThread()) {
    Answer answer;
    ws.call([&] {
      answer = show(owner, prompt, user, password);
      return 0;
    });
    return answer;
  }
  Box box(prompt, user, password);
  return box.run(owner ? owner->getHandle() : 0);
}
