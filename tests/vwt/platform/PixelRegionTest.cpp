#include <gtest/gtest.h>

#include "vwt/platform/PixelRegion.h"

using vwt::platform::PixelRect;
using vwt::platform::PixelRegion;

namespace {

int area(const PixelRegion& r) {
  int a = 0;
  for (const PixelRect& p : r.rects()) a += (p.x1 - p.x0) * (p.y1 - p.y0);
  return a;
}

TEST(PixelRegionTest, CombineModes) {
  struct Case {
    int mode;
    int area;
    bool in22, in77;
    bool ok;
  } cases[] = {
      {PixelRegion::AND, 25, false, true, true},
      {PixelRegion::OR, 175, true, true, true},
      {PixelRegion::XOR, 150, true, false, true},
      {PixelRegion::DIFF, 75, true, false, true},
      {PixelRegion::COPY, 100, false, true, true},
      {0, 100, true, true, false},
      {6, 100, true, true, false},
  };
  for (const Case& c : cases) {
    PixelRegion a(PixelRect{0, 0, 10, 10});
    PixelRegion b(PixelRect{5, 5, 15, 15});
    EXPECT_EQ(a.combine(b, c.mode), c.ok) << c.mode;
    EXPECT_EQ(area(a), c.area) << c.mode;
    EXPECT_EQ(a.contains(2, 2), c.in22) << c.mode;
    EXPECT_EQ(a.contains(7, 7), c.in77) << c.mode;
  }
}

TEST(PixelRegionTest, EmptyRectsBoundsAndTranslate) {
  PixelRegion empty(PixelRect{5, 5, 5, 9});
  EXPECT_TRUE(empty.isEmpty());
  EXPECT_TRUE(empty.rects().empty());
  PixelRegion r(PixelRect{1, 2, 4, 6});
  r.translate(10, -2);
  PixelRect b = r.bounds();
  EXPECT_EQ(b.x0, 11);
  EXPECT_EQ(b.y0, 0);
  EXPECT_EQ(b.x1, 14);
  EXPECT_EQ(b.y1, 4);
  PixelRegion copy(r);
  r.reset(PixelRect{0, 0, 1, 1});
  EXPECT_EQ(area(copy), 12);
  EXPECT_EQ(area(r), 1);
}

}  // namespace
