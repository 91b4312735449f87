#include "vwt/lang/ShortTimer.h"

#include "vwt/platform/WindowSystem.h"
#include "vwt/ui/Window.h"

using vwt::platform::WindowSystem;

ShortTimer* ShortTimer::getShortTimer(Window* window, int id, int interval, bool flag) {
  return new ShortTimer(window, id, interval, flag);
}

ShortTimer::~ShortTimer() { stop(); }

void ShortTimer::start() {
  if (running_ || !window_ || !window_->getHandle()) return;
  // The periodic tick: the script's `idle` does not wait for it.
  running_ = WindowSystem::get().setTimer(window_->getHandle(), id_, interval_, true);
}

void ShortTimer::stop() {
  if (!running_) return;
  running_ = false;
  if (window_ && window_->getHandle() && WindowSystem::exists())
    WindowSystem::get().killTimer(window_->getHandle(), id_);
}

void ShortTimer::dispose() { stop(); }
