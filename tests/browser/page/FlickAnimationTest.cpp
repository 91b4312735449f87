// The glide after a throw: even slowing, a stop, the distance a throw carries.
#include <gtest/gtest.h>

#include <cstdlib>

#include "browser/page/FlickAnimation.h"

namespace {

struct Glide {
  int ticks = 0;
  int distanceX = 0, distanceY = 0;
  bool slowing = true;  // no tick moved more than the one before
};

Glide run(int vx, int vy) {
  FlickAnimation f;
  f.start(vx, vy, 1000);
  Glide g;
  int last = 1 << 30;
  for (int64_t t = 1050; f.running() && g.ticks < 1000; t += 50) {
    int dx, dy;
    f.tick(t, &dx, &dy);
    ++g.ticks;
    g.distanceX += dx;
    g.distanceY += dy;
    int step = std::abs(dx) + std::abs(dy);
    if (step > last + 1) g.slowing = false;
    last = step;
  }
  return g;
}

}  // namespace

TEST(FlickAnimation, AThrowSlowsEvenlyAndStops) {
  struct Case {
    int vx, vy;
    int ticks;  // 50 ms each
    int x, y;   // pixels travelled
  } cases[] = {
      // The fastest throw, 1500 px/s: 1.25 s and about three screens of 320.
      {0, -150000, 25, 0, -937},
      {150000, 0, 25, 937, 0},
      // 500 px/s: a short glide.
      {0, 50000, 9, 0, 104},
      {-50000, 50000, 9, -104, 104},
  };
  for (const Case& c : cases) {
    Glide g = run(c.vx, c.vy);
    EXPECT_EQ(g.ticks, c.ticks) << c.vx << "," << c.vy;
    EXPECT_NEAR(g.distanceX, c.x, 1) << c.vx << "," << c.vy;
    EXPECT_NEAR(g.distanceY, c.y, 1) << c.vx << "," << c.vy;
    EXPECT_TRUE(g.slowing);
  }
}

TEST(FlickAnimation, AnAxisStopsOnItsOwnAndADragSlowsFaster) {
  FlickAnimation f;
  f.start(100000, 100000, 0);
  int dx, dy;
  f.tick(50, &dx, &dy);
  EXPECT_GT(dx, 0);
  f.stopX();
  f.tick(100, &dx, &dy);
  EXPECT_EQ(dx, 0);
  EXPECT_GT(dy, 0);
  int before = f.velocityY();
  f.setRate(FlickAnimation::DRAG_RATE);
  f.tick(150, &dx, &dy);
  EXPECT_EQ(before - f.velocityY(), FlickAnimation::DRAG_RATE * FlickAnimation::DECELERATION_PER_RATE * 50);
  f.stop();
  EXPECT_FALSE(f.running());
}
