#pragma once

#include <cstdint>

// The page's glide after a throw of the stylus: it starts at the throw's speed and slows down
// evenly to a stop. Velocities are the TouchPad's, 1/100 pixel per second, in the direction the page
// content moves on screen; each tick gives the pixels moved since the last one.
class FlickAnimation {
 public:
  static constexpr int RATE = 15;       // the usual slowing down
  static constexpr int DRAG_RATE = 60;  // while a new drag is under way
  // Per unit of rate, the speed drops by this many 1/100 pixel per second each millisecond: at rate 15
  // the fastest throw (1500 pixels a second) glides about 3 screens of 320 and stops in 1.25 s.
  static constexpr int DECELERATION_PER_RATE = 8;

  // A throw at now (milliseconds).
  void start(int velocityX, int velocityY, int64_t now);
  void stop();
  // One axis met the page edge: it moves no more.
  void stopX() { velocityX_ = 0; }
  void stopY() { velocityY_ = 0; }
  void setRate(int rate) { rate_ = rate; }
  int rate() const { return rate_; }
  bool running() const { return velocityX_ != 0 || velocityY_ != 0; }
  int velocityX() const { return velocityX_; }
  int velocityY() const { return velocityY_; }

  // The movement since the last tick (or the start) in whole pixels; ends the glide once both axes
  // have slowed to nothing.
  void tick(int64_t now, int* dx, int* dy);

 private:
  // Slows one axis over dt ms; returns the distance in 1/100000 pixel (1/100 px/s times ms).
  int64_t slow(int* velocity, int64_t dt) const;

  int velocityX_ = 0, velocityY_ = 0;
  int64_t last_ = 0;
  int64_t restX_ = 0, restY_ = 0;  // the fractions of a pixel not moved yet
  int rate_ = RATE;
};
