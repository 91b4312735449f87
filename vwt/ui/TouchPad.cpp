#include "vwt/ui/TouchPad.h"

#include <algorithm>
#include <cstdlib>

#include "vwt/lang/System.h"
#include "vwt/ui/Graphics.h"

namespace {
int64_t bootClock() { return System::currentTimeMillisBoot(); }
const int LOCK_THRESHOLD = 10000;  // below 100 pixels a second an axis is still
const int MAX_VELOCITY = 150000;
}  // namespace

TouchPad::TouchPad() : now_(bootClock) {}

void TouchPad::onPointerPressed(int x, int y) {
  startX_ = lastX_ = x;
  startY_ = lastY_ = y;
  for (int i = 0; i < 3; ++i) historyX_[i] = historyY_[i] = 0, historyTime_[i] = 0;
  historyIndex_ = 0;
  pressed_ = true;
  pressTime_ = now_();
}

void TouchPad::onPointerDragged(int x, int y) {
  historyX_[historyIndex_] = lastX_;
  historyY_[historyIndex_] = lastY_;
  historyTime_[historyIndex_] = now_();
  lastX_ = x;
  lastY_ = y;
  historyIndex_ = (historyIndex_ + 1) % 3;
}

void TouchPad::onPointerReleased(int x, int y) {
  int64_t now = now_();
  releaseTime_ = now;
  computeVelocity(x, y, now);
  pressed_ = false;
  lastX_ = x;
  lastY_ = y;
}

void TouchPad::computeVelocity(int x, int y, int64_t now) {
  int s = historyIndex_;
  int tries = 0;
  while (!(historyTime_[s] != 0 && historyTime_[s] < now - 20)) {
    if (++tries == 3) return;  // nothing old enough: the velocities stay
    s = (s + 2) % 3;
  }
  int64_t dt = std::max<int64_t>(now - historyTime_[s], 1);
  int64_t vx = static_cast<int64_t>(x - historyX_[s]) * 100000 / dt;
  int64_t vy = static_cast<int64_t>(y - historyY_[s]) * 100000 / dt;
  if (std::llabs(vx) < LOCK_THRESHOLD || std::llabs(vy) / 3 > std::llabs(vx)) vx = 0;
  if (std::llabs(vy) < LOCK_THRESHOLD || std::llabs(vx) / 3 > std::llabs(vy)) vy = 0;
  int64_t m = std::min<int64_t>(std::max(std::llabs(vx), std::llabs(vy)), MAX_VELOCITY);
  velocityX_ = static_cast<int>(vx > 0 ? m : vx < 0 ? -m : 0);
  velocityY_ = static_cast<int>(vy > 0 ? m : vy < 0 ? -m : 0);
}

bool TouchPad::isThrown() const {
  return releaseTime_ - pressTime_ >= 11 &&
         (std::abs(velocityX_) > LOCK_THRESHOLD || std::abs(velocityY_) > LOCK_THRESHOLD);
}

bool TouchPad::isTapped() const {
  return getDragLength() < 900 && releaseTime_ - pressTime_ < 300 && !isThrown();
}

bool TouchPad::isDragging() const {
  // While down, releaseTime is the last gesture's: the unsigned difference is huge, so true.
  return pressed_ && static_cast<uint32_t>(releaseTime_ - pressTime_) > 300u;
}

void TouchPad::render(Graphics* g) const {
  if (!pressed_) return;
  g->setColorARGB(static_cast<int>(0xFFFF0000u));
  g->drawLine(startX_, startY_, lastX_, lastY_);
}
