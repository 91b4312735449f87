// The message queue: post, send with an answer, get, peek, translate, dispatch and quit.

#include <algorithm>
#include <mutex>

#include "vwt/platform/MessageKinds.h"
#include "vwt/platform/VirtualKeys.h"
#include "vwt/platform/WindowSystemState.h"

namespace vwt {
namespace platform {

namespace {

// The script's view of the program: busy while anything but the periodic tick waits to run.
class ScriptHost : public InputScript::Host {
 public:
  explicit ScriptHost(WindowSystem* ws) : ws_(ws) {}
  bool isBusy() override { return ws_->hasPending() || ws_->isDirty() || ws_->hasTimerDueWithin(100); }
  PixelTarget screen() override { return ws_->screen(); }

 private:
  WindowSystem* ws_;
};

// The character a key types, 0 for none.
char16_t typedCharacter(int vk) {
  if ((vk >= VK_0 && vk <= VK_9) || vk == VK_ASTERISK || vk == VK_POUND || vk == VK_SPACE)
    return static_cast<char16_t>(vk);
  if (vk == VK_RETURN) return u'\r';
  if (vk == VK_BACK) return 8;
  if (vk == VK_ESCAPE) return 27;
  return 0;
}

}  // namespace

bool WindowSystem::post(WindowHandle window, uint32_t kind, uintptr_t wParam, intptr_t lParam) {
  bool first;
  {
    std::lock_guard<std::mutex> g(state_->lock);
    if (!state_->alive.count(window)) return false;
    first = state_->posted.empty();
    state_->posted.push_back(Message{window, kind, wParam, lParam});
  }
  // Only the message that ends an empty queue needs to wake the UI thread: it looks at the queue
  // under the lock before it waits, and the display keeps a wake that comes before the wait.
  if (first && std::this_thread::get_id() != state_->uiThread) display_->wake();
  return true;
}

intptr_t WindowSystem::send(WindowHandle window, uint32_t kind, uintptr_t wParam, intptr_t lParam) {
  if (std::this_thread::get_id() == state_->uiThread) return dispatch(Message{window, kind, wParam, lParam});
  Sent s;
  s.message = Message{window, kind, wParam, lParam};
  {
    std::unique_lock<std::mutex> g(state_->lock);
    if (!state_->alive.count(window)) return 0;
    state_->sent.push_back(&s);
  }
  display_->wake();
  std::unique_lock<std::mutex> g(state_->lock);
  state_->answered.wait(g, [&s] { return s.done; });
  return s.answer;
}

intptr_t WindowSystem::call(const std::function<intptr_t()>& task) {
  if (std::this_thread::get_id() == state_->uiThread) return task();
  Sent s;
  s.task = &task;
  {
    std::lock_guard<std::mutex> g(state_->lock);
    state_->sent.push_back(&s);
  }
  display_->wake();
  std::unique_lock<std::mutex> g(state_->lock);
  state_->answered.wait(g, [&s] { return s.done; });
  return s.answer;
}

void WindowSystem::serveSent() {
  for (;;) {
    Sent* s;
    {
      std::lock_guard<std::mutex> g(state_->lock);
      if (state_->sent.empty()) return;
      s = state_->sent.front();
      state_->sent.pop_front();
    }
    intptr_t answer = s->task ? (*s->task)() : dispatch(s->message);
    std::lock_guard<std::mutex> g(state_->lock);
    s->answer = answer;
    s->done = true;
    state_->answered.notify_all();
  }
}

bool WindowSystem::takeQueued(Message* message, bool remove) {
  std::lock_guard<std::mutex> g(state_->lock);
  if (state_->posted.empty()) return false;
  *message = state_->posted.front();
  if (remove) state_->posted.pop_front();
  return true;
}

bool WindowSystem::hasPending() const {
  std::lock_guard<std::mutex> g(state_->lock);
  return !state_->posted.empty() || !state_->sent.empty();
}

bool WindowSystem::get(Message* message) {
  ScriptHost host(this);
  for (;;) {
    if (state_->service) state_->service();
    serveSent();
    if (takeQueued(message, true)) {
      if (message->kind != PAINT_REQUEST) return true;
      invalidate(message->window, nullptr, message->wParam != 0);
      continue;
    }
    if (state_->quit.exchange(false)) {
      *message = Message{0, WM_QUIT, static_cast<uintptr_t>(quitCode_), 0};
      return false;
    }
    if (isDirty()) {
      paintPass();
      continue;
    }
    if (!state_->presentArea.isEmpty()) {
      PixelRect dirty = state_->presentArea.bounds();
      state_->presentArea = PixelRegion();
      display_->present(screen(), dirty);
    }
    if (takeDueTimer(message)) return true;
    int timeout = msUntilNextTimer();
    if (state_->script && !state_->script->finished()) {
      int wanted = state_->script->step(*this, host, monotonicMs());
      if (wanted == 0) continue;
      if (wanted > 0) timeout = timeout < 0 ? wanted : std::min(timeout, wanted);
    }
    waitForInput(timeout);
  }
}

bool WindowSystem::peek(Message* message, bool remove) {
  if (state_->service) state_->service();
  serveSent();
  while (takeQueued(message, remove)) {
    if (message->kind != PAINT_REQUEST) return true;
    if (!remove) takeQueued(message, true);
    invalidate(message->window, nullptr, message->wParam != 0);
  }
  if (state_->quit.load()) {
    if (remove) state_->quit.store(false);
    *message = Message{0, WM_QUIT, static_cast<uintptr_t>(quitCode_), 0};
    return true;
  }
  if (isDirty()) {
    paintPass();
    if (takeQueued(message, remove)) return true;
  }
  return takeDueTimer(message, remove);
}

void WindowSystem::waitForInput(int timeoutMs) {
  // Input delivered here is queued; a posted message from another thread wakes the wait.
  {
    std::lock_guard<std::mutex> g(state_->lock);
    if (!state_->posted.empty() || !state_->sent.empty()) return;
  }
  display_->waitEvents(timeoutMs, *this);
}

bool WindowSystem::translate(const Message& message) {
  if (message.kind != WM_KEYDOWN) return false;
  char16_t c = typedCharacter(static_cast<int>(message.wParam));
  if (!c) return false;
  std::lock_guard<std::mutex> g(state_->lock);
  if (!state_->alive.count(message.window)) return false;
  // The character comes next, before anything queued behind the key.
  state_->posted.push_front(Message{message.window, WM_CHAR, c, message.lParam});
  return true;
}

intptr_t WindowSystem::dispatch(const Message& message) {
  Node* n = node(message.window);
  if (!n) return 0;
  const WindowClass* cls = n->windowClass;
  return cls->procedure(message.window, message.kind, message.wParam, message.lParam);
}

void WindowSystem::postQuit(int exitCode) {
  quitCode_ = exitCode;
  state_->quit.store(true);
  if (std::this_thread::get_id() != state_->uiThread) display_->wake();
}

void WindowSystem::setService(std::function<void()> serve) { state_->service = std::move(serve); }

void WindowSystem::setInputScript(std::unique_ptr<InputScript> script) { state_->script = std::move(script); }

bool WindowSystem::isScriptRunning() const { return state_->script && !state_->script->finished(); }

}  // namespace platform
}  // namespace vwt
