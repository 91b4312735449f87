#include <gtest/gtest.h>

#include "tests/vwt/RasterPicture.h"
#include "vwt/platform/RasterLines.h"

using vwt::platform::Surface;

namespace {

const uint32_t INK = 0x123456;

TEST(RasterLinesTest, PenLinesLeaveOutTheirEndPoint) {
  struct Case {
    int x1, y1, x2, y2;
    Picture want;
  } cases[] = {
      {1, 1, 1, 1, {".....", ".....", "....."}},  // a point draws nothing
      {0, 1, 4, 1, {".....", "####.", "....."}},  // rightwards: 0..3
      {4, 1, 0, 1, {".....", ".####", "....."}},  // leftwards: 4..1
      {2, 0, 2, 2, {"..#..", "..#..", "....."}},  // downwards
      {0, 0, 4, 2, {"##...", "..##.", "....."}},  // x-major, half-way rounds to the start
      {4, 2, 0, 0, {".....", ".##..", "...##"}},  // the same line backwards
      {0, 0, 3, 3, {"#....", ".#...", "..#.."}},  // diagonal
      {1, 0, 2, 2, {".#...", ".#...", "....."}},  // y-major
  };
  for (const Case& c : cases) {
    Surface s(5, 3);
    vwt::platform::drawLine(s, c.x1, c.y1, c.x2, c.y2, INK);
    EXPECT_TRUE(looksLike(s, INK, c.want)) << c.x1 << "," << c.y1 << " -> " << c.x2 << "," << c.y2;
  }
}

TEST(RasterLinesTest, ClipAndOriginApply) {
  Surface s(6, 3);
  s.setOrigin(1, 1);
  s.setClip(0, 0, 3, 1);  // device 1..3 on row 1
  vwt::platform::drawLine(s, -1, 0, 5, 0, INK);
  EXPECT_TRUE(looksLike(s, INK, {"......", ".###..", "......"}));
  // A diagonal through two clip rectangles keeps only what lies inside them.
  Surface d(4, 4);
  vwt::platform::PixelRegion visible(vwt::platform::PixelRect{0, 0, 1, 4});
  visible.combine(vwt::platform::PixelRegion(vwt::platform::PixelRect{2, 0, 4, 4}),
                  vwt::platform::PixelRegion::OR);
  d.setBase(0, 0, visible);
  vwt::platform::drawLine(d, 0, 0, 4, 4, INK);
  EXPECT_TRUE(looksLike(d, INK, {"#...", "....", "..#.", "...#"}));
}

TEST(RasterLinesTest, FarCoordinatesAreCutNotWrapped) {
  Surface s(4, 2);
  vwt::platform::drawLine(s, -2000000000, 0, 2000000000, 0, INK);
  vwt::platform::drawLine(s, 2000000000, 1, -2000000000, 1, INK);
  EXPECT_TRUE(looksLike(s, INK, {"####", "####"}));
}

}  // namespace
