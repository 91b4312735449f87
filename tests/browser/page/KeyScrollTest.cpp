// The arrow keys' speed, the keys held and the turned screen's keys.
#include <gtest/gtest.h>

#include <vector>

#include "browser/page/KeyScroll.h"

namespace {

KeyScroll::Tuning tuning(int first, int threshold, int second, int maximum) {
  KeyScroll::Tuning t;
  t.firstStep = first;
  t.threshold = threshold;
  t.secondStep = second;
  t.maximum = maximum;
  return t;
}

// The movement of each of n ticks with the keys held.
std::vector<std::pair<int, int>> ticks(KeyScroll& scroll, int n) {
  std::vector<std::pair<int, int>> out;
  for (int i = 0; i < n; ++i) {
    int dx, dy;
    scroll.step(12, &dx, &dy);
    out.push_back({dx, dy});
  }
  return out;
}

std::vector<int> downSteps(KeyScroll::Tuning t, int n) {
  KeyScroll scroll;
  scroll.setTuning(t);
  scroll.press(KeyScroll::KEY_DOWN);
  std::vector<int> out;
  for (auto& m : ticks(scroll, n)) out.push_back(m.second);
  return out;
}

}  // namespace

TEST(KeyScroll, SpeedGrowsByTheFirstStepUpToTheThresholdThenByTheSecond) {
  struct Case {
    KeyScroll::Tuning tuning;
    std::vector<int> steps;
  } cases[] = {
      {tuning(100, 1000, 300, KeyScroll::NO_MAXIMUM), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 13, 16, 19}},
      {tuning(100, 1000, 300, 500), {1, 2, 3, 4, 5, 5, 5}},
      // Threshold 0 (the stored default): the second step from the start, up to the maximum.
      {tuning(600, 0, 2400, 6000), {24, 48, 60, 60}},
      // Both steps 0 would never move: a gentle acceleration stands in (threshold 1000 when none is set).
      {tuning(0, 0, 0, KeyScroll::NO_MAXIMUM), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 13, 16}},
      {tuning(0, 500, 0, KeyScroll::NO_MAXIMUM), {1, 2, 3, 4, 5, 8, 11}},
  };
  for (const Case& c : cases) EXPECT_EQ(downSteps(c.tuning, static_cast<int>(c.steps.size())), c.steps);
}

TEST(KeyScroll, TwoDirectionsMoveBySpeedOver141OnBothAxes) {
  KeyScroll scroll;
  scroll.setTuning(tuning(1410, 100000, 0, KeyScroll::NO_MAXIMUM));
  scroll.press(KeyScroll::KEY_UP);
  scroll.press(KeyScroll::KEY_RIGHT);
  auto moves = ticks(scroll, 2);
  EXPECT_EQ(moves[0], std::make_pair(10, -10));
  EXPECT_EQ(moves[1], std::make_pair(20, -20));
  scroll.release(KeyScroll::KEY_UP);
  EXPECT_EQ(ticks(scroll, 1)[0], std::make_pair(42, 0));  // 4230 / 100
}

TEST(KeyScroll, LineKeysCountAsUpAndDownAndMoveTwoLines) {
  KeyScroll scroll;
  scroll.setTuning(tuning(100, 1000, 300, KeyScroll::NO_MAXIMUM));
  scroll.press(KeyScroll::KEY_LINE_DOWN);
  EXPECT_TRUE(scroll.downHeld());
  EXPECT_EQ(ticks(scroll, 1)[0], std::make_pair(0, 28));  // 2 * (12 + 2)
  scroll.press(KeyScroll::KEY_UP);
  scroll.release(KeyScroll::KEY_LINE_DOWN);
  scroll.press(KeyScroll::KEY_LINE_UP);
  EXPECT_EQ(ticks(scroll, 1)[0], std::make_pair(0, -28));
  scroll.release(KeyScroll::KEY_LINE_UP);
  EXPECT_TRUE(scroll.upHeld());  // the arrow is still down
}

TEST(KeyScroll, NothingHeldClearsTheSpeed) {
  KeyScroll scroll;
  scroll.setTuning(tuning(100, 1000, 300, KeyScroll::NO_MAXIMUM));
  scroll.press(KeyScroll::KEY_LEFT);
  ticks(scroll, 3);
  EXPECT_EQ(scroll.speed(), 300);
  scroll.release(KeyScroll::KEY_LEFT);
  EXPECT_EQ(ticks(scroll, 1)[0], std::make_pair(0, 0));
  EXPECT_EQ(scroll.speed(), 0);
  EXPECT_TRUE(scroll.belowThreshold());
  scroll.press(20);  // select is no direction
  EXPECT_FALSE(scroll.anyHeld());
}

TEST(KeyScroll, DirectionKeysFollowTheScreensOrientation) {
  const int L = KeyScroll::KEY_LEFT, U = KeyScroll::KEY_UP, R = KeyScroll::KEY_RIGHT, D = KeyScroll::KEY_DOWN;
  // Per orientation: what left, up, right and down become.
  const int table[4][4] = {{L, U, R, D}, {D, L, U, R}, {R, D, L, U}, {U, R, D, L}};
  for (int o = 0; o < 4; ++o) {
    const int keys[4] = {L, U, R, D};
    for (int k = 0; k < 4; ++k) EXPECT_EQ(KeyScroll::remap(keys[k], o), table[o][k]) << o << " " << keys[k];
  }
  // Other keys and unknown orientations leave the key alone.
  EXPECT_EQ(KeyScroll::remap(20, 1), 20);
  EXPECT_EQ(KeyScroll::remap(KeyScroll::KEY_LINE_UP, 2), KeyScroll::KEY_LINE_UP);
  EXPECT_EQ(KeyScroll::remap(L, 7), L);
}
