#include <gtest/gtest.h>

#include "tests/vwt/RasterPicture.h"
#include "vwt/platform/RasterRects.h"

using vwt::platform::PixelRect;
using vwt::platform::PixelRegion;
using vwt::platform::Surface;

namespace {

const uint32_t INK = 0xFF00FF;

TEST(RasterRectsTest, FillsCoverWidthByHeight) {
  struct Case {
    int x, y, w, h;
    Picture want;
  } cases[] = {
      {1, 1, 3, 2, {".....", ".###.", ".###.", "....."}},
      {0, 0, 0, 3, {".....", ".....", ".....", "....."}},    // empty
      {2, 1, -2, 2, {".....", ".....", ".....", "....."}},   // negative
      {-3, -3, 5, 5, {"##...", "##...", ".....", "....."}},  // cut at the edges
      {3, 2, 100, 100, {".....", ".....", "...##", "...##"}},
  };
  for (const Case& c : cases) {
    Surface s(5, 4);
    vwt::platform::fillRect(s, c.x, c.y, c.w, c.h, INK);
    EXPECT_TRUE(looksLike(s, INK, c.want)) << c.x << "," << c.y << " " << c.w << "x" << c.h;
  }
}

TEST(RasterRectsTest, LargeFillsTakeTheFastPathWithTheSameResult) {
  Surface s(40, 30);
  s.setClip(5, 5, 30, 20);
  vwt::platform::fillRect(s, 0, 0, 40, 30, INK);
  int inked = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) {
      const bool inside = x >= 5 && x < 35 && y >= 5 && y < 25;
      EXPECT_EQ(s.row(y)[x], inside ? 0xFF000000u | INK : 0xFF000000u) << x << "," << y;
      inked += inside;
    }
  EXPECT_EQ(inked, 600);
}

TEST(RasterRectsTest, OutlinesCoverOneMoreThanTheSize) {
  struct Case {
    int x, y, w, h;
    Picture want;
  } cases[] = {
      {0, 0, 3, 2, {"####..", "#..#..", "####..", "......"}},
      {1, 1, 0, 2, {"......", ".#....", ".#....", ".#...."}},  // a vertical line of h + 1
      {1, 1, 2, 0, {"......", ".###..", "......", "......"}},
      {0, 0, 0, 0, {"......", "......", "......", "......"}},  // nothing moves, nothing drawn
  };
  for (const Case& c : cases) {
    Surface s(6, 4);
    vwt::platform::drawRectOutline(s, c.x, c.y, c.w, c.h, INK);
    EXPECT_TRUE(looksLike(s, INK, c.want)) << c.x << "," << c.y << " " << c.w << "x" << c.h;
  }
  Surface big(12, 12);
  vwt::platform::drawRectOutline(big, 0, 0, 10, 10, INK);
  for (int i = 0; i <= 10; ++i) {
    EXPECT_EQ(vwt::platform::getPixel(big, i, 0), INK);
    EXPECT_EQ(vwt::platform::getPixel(big, i, 10), INK);
    EXPECT_EQ(vwt::platform::getPixel(big, 0, i), INK);
    EXPECT_EQ(vwt::platform::getPixel(big, 10, i), INK);
  }
  EXPECT_EQ(vwt::platform::getPixel(big, 11, 11), 0u);
  EXPECT_EQ(vwt::platform::getPixel(big, 5, 5), 0u);
}

TEST(RasterRectsTest, PixelsHonourOriginAndClip) {
  Surface s(4, 3);
  s.setOrigin(1, 1);
  vwt::platform::setPixel(s, 0, 0, INK);
  vwt::platform::setPixel(s, 5, 5, INK);  // outside: ignored
  s.setClip(1, 0, 1, 1);
  vwt::platform::setPixel(s, 2, 1, INK);  // outside the clip
  vwt::platform::setPixel(s, 1, 0, INK);
  EXPECT_TRUE(looksLike(s, INK, {"....", ".##.", "...."}));
  EXPECT_EQ(vwt::platform::getPixel(s, 0, 0), INK);  // reading ignores the clip
  EXPECT_EQ(vwt::platform::getPixel(s, 100, 0), 0u);
  EXPECT_EQ(vwt::platform::getPixel(s, -2, -2), 0u);
}

TEST(RasterRectsTest, DrawingStaysInsideTheBaseClip) {
  Surface s(6, 4);
  s.setBase(2, 1, PixelRegion(PixelRect{2, 1, 5, 3}));
  s.setOrigin(-2, -1);    // relative to the base: back at the device corner
  s.setClip(0, 0, 6, 4);  // cannot widen the base
  vwt::platform::fillRect(s, 0, 0, 6, 4, INK);
  EXPECT_TRUE(looksLike(s, INK, {"......", "..###.", "..###.", "......"}));
  s.clearBase();
  vwt::platform::setPixel(s, 0, 0, INK);
  EXPECT_EQ(vwt::platform::getPixel(s, 0, 0), INK);
}

}  // namespace
