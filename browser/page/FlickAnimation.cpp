#include "browser/page/FlickAnimation.h"

#include <algorithm>
#include <cstdlib>

namespace {
const int64_t UNITS_PER_PIXEL = 100000;  // 1/100 px/s over one millisecond
// A tick that comes late (a busy interface thread) moves at most this much time's worth.
const int64_t MAX_TICK_MS = 200;
}  // namespace

void FlickAnimation::start(int velocityX, int velocityY, int64_t now) {
  velocityX_ = velocityX;
  velocityY_ = velocityY;
  last_ = now;
  restX_ = restY_ = 0;
  rate_ = RATE;
}

void FlickAnimation::stop() {
  velocityX_ = velocityY_ = 0;
  restX_ = restY_ = 0;
}

int64_t FlickAnimation::slow(int* velocity, int64_t dt) const {
  int64_t v = *velocity;
  if (v == 0) return 0;
  int64_t drop = std::min<int64_t>(std::llabs(v), static_cast<int64_t>(rate_) * DECELERATION_PER_RATE * dt);
  int64_t after = v > 0 ? v - drop : v + drop;
  *velocity = static_cast<int>(after);
  // The mean speed over the interval, times its length.
  return (v + after) * dt / 2;
}

void FlickAnimation::tick(int64_t now, int* dx, int* dy) {
  *dx = *dy = 0;
  if (!running()) return;
  int64_t dt = std::max<int64_t>(std::min(now - last_, MAX_TICK_MS), 0);
  last_ = now;
  restX_ += slow(&velocityX_, dt);
  restY_ += slow(&velocityY_, dt);
  *dx = static_cast<int>(restX_ / UNITS_PER_PIXEL);
  *dy = static_cast<int>(restY_ / UNITS_PER_PIXEL);
  restX_ -= static_cast<int64_t>(*dx) * UNITS_PER_PIXEL;
  restY_ -= static_cast<int64_t>(*dy) * UNITS_PER_PIXEL;
}
