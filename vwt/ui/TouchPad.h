#pragma once

#include <cstdint>

#include "vwt/lang/Object.h"

class Graphics;

// Stylus gestures from press, drag and release: taps, drags and throws with their velocity in
// 1/100 pixel per second. A plain object the canvas owns and feeds.
class TouchPad : public Object {
 public:
  TouchPad();

  void onPointerPressed(int x, int y);
  void onPointerDragged(int x, int y);
  void onPointerReleased(int x, int y);

  bool isPressed() const { return pressed_; }
  bool isDragging() const;
  bool isTapped() const;
  bool isThrown() const;
  int getStartX() const { return startX_; }
  int getStartY() const { return startY_; }
  void setStartPos(int x, int y) {
    startX_ = x;
    startY_ = y;
  }
  int getLastX() const { return lastX_; }
  int getLastY() const { return lastY_; }
  int getDragX() const { return lastX_ - startX_; }
  int getDragY() const { return lastY_ - startY_; }
  // The squared length.
  int getDragLength() const { return getDragX() * getDragX() + getDragY() * getDragY(); }
  int getVelocityX() const { return velocityX_; }
  int getVelocityY() const { return velocityY_; }
  void setVelocityX(int v) { velocityX_ = v; }
  void setVelocityY(int v) { velocityY_ = v; }
  // While pressed: a red line from the press point to the last point.
  void render(Graphics* g) const;

  // The clock (milliseconds since boot); tests replace it.
  void setClock(int64_t (*now)()) { now_ = now; }

 private:
  void computeVelocity(int x, int y, int64_t now);

  bool pressed_ = false;
  int startX_ = -1, startY_ = -1, lastX_ = -1, lastY_ = -1;
  int historyX_[3] = {};
  int historyY_[3] = {};
  int64_t historyTime_[3] = {};
  int velocityX_ = 0, velocityY_ = 0;
  int64_t pressTime_ = 0, releaseTime_ = 0;
  int historyIndex_ = 0;
  int64_t (*now_)();
};
