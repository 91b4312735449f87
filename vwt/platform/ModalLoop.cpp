#include "vwt/platform/ModalLoop.h"

#include <utility>
#include <vector>

#include "vwt/platform/MessageKinds.h"
#include "vwt/platform/ScriptAnswers.h"
#include "vwt/platform/Text.h"

namespace vwt {
namespace platform {

namespace {

ModalLoop::Filter& filter() {
  static ModalLoop::Filter f;
  return f;
}

}  // namespace

ModalLoop::ModalLoop(WindowHandle dialog, WindowHandle owner) : dialog_(dialog), owner_(owner) {}

void ModalLoop::setFilter(Filter f) { filter() = std::move(f); }

bool ModalLoop::isInput(uint32_t kind) const {
  switch (kind) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEWHEEL:
      return true;
    default:
      return false;
  }
}

bool ModalLoop::belongsToDialog(WindowHandle window) const {
  WindowSystem& ws = WindowSystem::get();
  for (WindowHandle w = window; w; w = ws.getParent(w))
    if (w == dialog_) return true;
  return false;
}

int ModalLoop::exec(int cancelResult) {
  ScriptAnswers::Answer answer;
  if (ScriptAnswers::take(&answer)) {
    answeredByScript_ = true;
    answerText_ = utf16FromUtf8(answer.text);
    done_ = true;
    result_ = answer.button;
    return result_;
  }
  if (done_) return result_;
  WindowSystem& ws = WindowSystem::get();
  const WindowHandle oldFocus = ws.getFocus();
  const WindowHandle oldActive = ws.getActive();
  const bool disableOwner = owner_ && owner_ != dialog_ && ws.isEnabled(owner_);
  if (disableOwner) ws.enable(owner_, false);
  if (!ws.getParent(dialog_)) ws.setActive(dialog_);
  ws.setFocus(dialog_);
  // Releases of keys pressed before the dialog opened belong to the window that saw the press.
  std::vector<Message> heldReleases;
  bool closeRequested = false;
  Message m;
  while (!done_) {
    if (!ws.isWindow(dialog_)) {
      result_ = cancelResult;
      break;
    }
    if (!ws.get(&m)) {
      // The program is ending: the outer loop has to see the quit as well.
      ws.postQuit(ws.getQuitCode());
      result_ = cancelResult;
      break;
    }
    if (isInput(m.kind)) {
      if (!belongsToDialog(m.window)) continue;
      int vk = static_cast<int>(m.wParam);
      if (m.kind == WM_KEYDOWN) keysPressed_.insert(vk);
      if (m.kind == WM_KEYUP && !keysPressed_.erase(vk)) {
        heldReleases.push_back(m);
        continue;
      }
    }
    if (filter() && filter()(m)) continue;
    ws.translate(m);
    ws.dispatch(m);
    // The desktop's close button is meant for the program, not for the dialog on top: the dialog
    // ends (as it answers a close, or cancelled) and the request goes on to the window below.
    if (m.kind == WM_CLOSE && belongsToDialog(m.window)) {
      closeRequested = true;
      if (!done_) result_ = cancelResult;
      break;
    }
  }
  if (disableOwner && ws.isWindow(owner_)) ws.enable(owner_, true);
  if (oldActive && ws.isWindow(oldActive)) ws.setActive(oldActive);
  if (oldFocus && ws.isWindow(oldFocus)) ws.setFocus(oldFocus);
  for (Message& release : heldReleases)
    ws.post(oldFocus ? oldFocus : owner_, release.kind, release.wParam, release.lParam);
  if (closeRequested) {
    WindowHandle below = owner_ && ws.isWindow(owner_) ? owner_ : oldActive;
    while (below && ws.getParent(below)) below = ws.getParent(below);
    if (below && below != dialog_ && ws.isWindow(below)) ws.post(below, WM_CLOSE, 0, 0);
  }
  return result_;
}

void ModalLoop::done(int result) {
  result_ = result;
  done_ = true;
  // A loop waiting for input wakes to see it.
  if (WindowSystem::exists() && !WindowSystem::get().isUiThread())
    WindowSystem::get().post(dialog_, WM_NULL, 0, 0);
}

}  // namespace platform
}  // namespace vwt
