#include "browser/page/KeyScroll.h"

#include <algorithm>

namespace {
// For tuning that would not move at all: 1, 2, 3 ... pixels a tick up to 10, then 3 more each tick.
// The large screen's stored steps with no threshold cross a long page in a second.
const int FALLBACK_FIRST_STEP = 100;
const int FALLBACK_THRESHOLD = 1000;
const int FALLBACK_SECOND_STEP = 300;
// Two directions at once: each axis moves by speed / 141, about speed / (100 * sqrt 2).
const int DIAGONAL_DIVISOR = 141;
}  // namespace

void KeyScroll::setTuning(const Tuning& tuning) {
  tuning_ = tuning;
  if (tuning_.firstStep == 0 && tuning_.secondStep == 0) {
    tuning_.firstStep = FALLBACK_FIRST_STEP;
    tuning_.secondStep = FALLBACK_SECOND_STEP;
    if (tuning_.threshold == 0) tuning_.threshold = FALLBACK_THRESHOLD;
  }
}

int KeyScroll::remap(int key, int orientation) {
  // Rows: orientation 1-3; columns: left, up, right, down.
  static const int TURNED[3][4] = {
      {KEY_DOWN, KEY_LEFT, KEY_UP, KEY_RIGHT},
      {KEY_RIGHT, KEY_DOWN, KEY_LEFT, KEY_UP},
      {KEY_UP, KEY_RIGHT, KEY_DOWN, KEY_LEFT},
  };
  if (orientation < 1 || orientation > 3 || key < KEY_LEFT || key > KEY_DOWN) return key;
  return TURNED[orientation - 1][key - KEY_LEFT];
}

bool KeyScroll::isDirection(int key) {
  return (key >= KEY_LEFT && key <= KEY_DOWN) || key == KEY_LINE_UP || key == KEY_LINE_DOWN;
}

int KeyScroll::bit(int key) {
  if (key >= KEY_LEFT && key <= KEY_DOWN) return 1 << (key - KEY_LEFT);
  if (key == KEY_LINE_UP) return 1 << 4;
  if (key == KEY_LINE_DOWN) return 1 << 5;
  return 0;
}

void KeyScroll::press(int key) { held_ |= bit(key); }

void KeyScroll::release(int key) { held_ &= ~bit(key); }

bool KeyScroll::upHeld() const { return (held_ & (bit(KEY_UP) | bit(KEY_LINE_UP))) != 0; }

bool KeyScroll::downHeld() const { return (held_ & (bit(KEY_DOWN) | bit(KEY_LINE_DOWN))) != 0; }

bool KeyScroll::leftHeld() const { return (held_ & bit(KEY_LEFT)) != 0; }

bool KeyScroll::rightHeld() const { return (held_ & bit(KEY_RIGHT)) != 0; }

void KeyScroll::step(int pageLineHeight, int* dx, int* dy) {
  *dx = *dy = 0;
  if (!anyHeld()) {
    speed_ = 0;
    return;
  }
  speed_ += speed_ >= tuning_.threshold ? tuning_.secondStep : tuning_.firstStep;
  if (tuning_.maximum != NO_MAXIMUM) speed_ = std::min(speed_, tuning_.maximum);
  speed_ = std::max(speed_, 0);
  bool vertical = upHeld() || downHeld();
  bool horizontal = leftHeld() || rightHeld();
  int d = vertical && horizontal ? speed_ / DIAGONAL_DIVISOR : speed_ / 100;
  if (upHeld()) *dy -= d;
  if (downHeld()) *dy += d;
  if (leftHeld()) *dx -= d;
  if (rightHeld()) *dx += d;
  int line = 2 * (pageLineHeight + 2);
  if (held_ & bit(KEY_LINE_UP)) *dy = -line;
  if (held_ & bit(KEY_LINE_DOWN)) *dy = line;
}
