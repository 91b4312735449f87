#include <gtest/gtest.h>

#include "browser/menu/TextSize.h"

TEST(TextSize, StepsStayInTheFontList) {
  struct Case {
    int index, count, direction, next;
  } cases[] = {
      {0, 4, 1, 1},  {2, 4, 1, 3},  {3, 4, 1, 3}, {3, 4, -1, 2},
      {0, 4, -1, 0}, {7, 4, -1, 3}, {0, 0, 1, 0}, {2, 1, 1, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.next, TextSize::step(c.index, c.count, c.direction)) << c.index << " " << c.direction;
}

TEST(TextSize, ZoomFollowsThePageFontAgainstTheBaseFont) {
  EXPECT_EQ(100, TextSize::zoomFor(12, 12));
  EXPECT_EQ(133, TextSize::zoomFor(16, 12));
  EXPECT_EQ(66, TextSize::zoomFor(8, 12));
  EXPECT_EQ(100, TextSize::zoomFor(16, 0));
}
