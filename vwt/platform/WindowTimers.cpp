// Per-window timers: WM_TIMER when the queue has nothing else, never more than one due per timer.

#include <algorithm>

#include "vwt/platform/MessageKinds.h"
#include "vwt/platform/WindowSystemState.h"

namespace vwt {
namespace platform {

bool WindowSystem::setTimer(WindowHandle window, int id, int ms, bool periodicTick) {
  if (!node(window)) return false;
  ms = std::max(ms, 1);
  int64_t due = monotonicMs() + ms;
  for (Timer& t : state_->timers)
    if (t.window == window && t.id == id) {
      t.interval = ms;
      t.due = due;
      t.tick = periodicTick;
      return true;
    }
  state_->timers.push_back(Timer{window, id, ms, due, periodicTick});
  return true;
}

bool WindowSystem::killTimer(WindowHandle window, int id) {
  auto& timers = state_->timers;
  auto it = std::find_if(timers.begin(), timers.end(),
                         [&](const Timer& t) { return t.window == window && t.id == id; });
  if (it == timers.end()) return false;
  timers.erase(it);
  return true;
}

bool WindowSystem::hasTimerDueWithin(int ms) const {
  int64_t limit = monotonicMs() + ms;
  for (const Timer& t : state_->timers)
    if (!t.tick && t.due <= limit) return true;
  return false;
}

int WindowSystem::msUntilNextTimer() const {
  if (state_->timers.empty()) return -1;
  int64_t now = monotonicMs();
  int64_t next = state_->timers.front().due;
  for (const Timer& t : state_->timers) next = std::min(next, t.due);
  return next <= now ? 0 : static_cast<int>(std::min<int64_t>(next - now, 1 << 30));
}

bool WindowSystem::takeDueTimer(Message* message, bool remove) {
  int64_t now = monotonicMs();
  Timer* first = nullptr;
  for (Timer& t : state_->timers)
    if (t.due <= now && (!first || t.due < first->due)) first = &t;
  if (!first) return false;
  // A late timer fires once, not once per missed interval.
  if (remove) first->due = now + first->interval;
  *message = Message{first->window, WM_TIMER, static_cast<uintptr_t>(first->id), 0};
  return true;
}

}  // namespace platform
}  // namespace vwt
