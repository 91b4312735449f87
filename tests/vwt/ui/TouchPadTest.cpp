#include <gtest/gtest.h>

#include "vwt/ui/TouchPad.h"

namespace {

int64_t gNow = 1000;
int64_t fakeClock() { return gNow; }

class TouchPadTest : public ::testing::Test {
 protected:
  TouchPadTest() {
    gNow = 1000;
    pad.setClock(fakeClock);
  }
  void at(int64_t ms) { gNow = ms; }
  TouchPad pad;
};

TEST_F(TouchPadTest, AReleaseTenMillisecondsAfterThePressIsNeverAThrow) {
  pad.onPointerPressed(0, 0);
  at(1005);
  pad.onPointerDragged(100, 0);
  at(1010);
  pad.onPointerReleased(200, 0);
  EXPECT_FALSE(pad.isThrown());
}

TEST_F(TouchPadTest, ASlowShortPressIsATap) {
  pad.onPointerPressed(50, 50);
  EXPECT_TRUE(pad.isPressed());
  EXPECT_TRUE(pad.isDragging()) << "while down the previous release time makes it a drag";
  at(1100);
  pad.onPointerDragged(55, 52);
  at(1250);
  pad.onPointerReleased(60, 55);
  EXPECT_FALSE(pad.isPressed());
  EXPECT_EQ(pad.getDragX(), 10);
  EXPECT_EQ(pad.getDragLength(), 125);
  EXPECT_EQ(pad.getVelocityX(), 0) << "slow movement locks both axes";
  EXPECT_TRUE(pad.isTapped());
  EXPECT_FALSE(pad.isThrown());
  EXPECT_FALSE(pad.isDragging());
}

TEST_F(TouchPadTest, AFastFlickIsClampedOnItsDominantAxis) {
  pad.onPointerPressed(0, 100);
  at(1100);
  pad.onPointerDragged(0, 100);
  at(1200);
  pad.onPointerReleased(300, 110);  // 300 px in 100 ms = 300000, 10 px down is locked away
  EXPECT_EQ(pad.getVelocityX(), 150000);
  EXPECT_EQ(pad.getVelocityY(), 0);
  EXPECT_TRUE(pad.isThrown());
  EXPECT_FALSE(pad.isTapped());
}

TEST_F(TouchPadTest, AFlickAt45DegreesKeepsBothAxesAtOneMagnitude) {
  pad.onPointerPressed(200, 200);
  at(1100);
  pad.onPointerDragged(200, 200);
  at(1200);
  pad.onPointerReleased(100, 300);
  EXPECT_EQ(pad.getVelocityX(), -100000);
  EXPECT_EQ(pad.getVelocityY(), 100000);
}

TEST_F(TouchPadTest, WithoutAnOldEnoughHistoryTheVelocityStays) {
  pad.setVelocityX(123);
  pad.onPointerPressed(0, 0);
  at(1010);
  pad.onPointerDragged(50, 0);  // only 10 ms before the release: not used
  at(1020);
  pad.onPointerReleased(100, 0);
  EXPECT_EQ(pad.getVelocityX(), 123);
}

}  // namespace
