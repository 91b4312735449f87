#include <gtest/gtest.h>

#include "tests/vwt/RasterPicture.h"
#include "vwt/platform/RasterPolygons.h"

using vwt::platform::Surface;

namespace {

const uint32_t INK = 0x0000FF;

TEST(RasterPolygonsTest, FilledWithTheBorderIncluded) {
  struct Case {
    std::vector<int> xs, ys;
    Picture want;
  } cases[] = {
      {{0, 4, 0}, {0, 0, 4}, {"#####.", "####..", "###...", "##....", "#.....", "......"}},
      {{1, 4, 4, 1}, {1, 1, 3, 3}, {"......", ".####.", ".####.", ".####.", "......", "......"}},
      // Crossing edges: an hourglass, two triangles meeting in the middle.
      {{0, 4, 0, 4}, {0, 4, 4, 0}, {"#####.", ".###..", "..#...", ".###..", "#####.", "......"}},
      {{2}, {2}, {"......", "......", "......", "......", "......", "......"}},        // one point: nothing
      {{1, 4}, {1, 1}, {"......", ".####.", "......", "......", "......", "......"}},  // there and back
  };
  for (const Case& c : cases) {
    Surface s(6, 6);
    vwt::platform::fillPolygon(s, c.xs.data(), c.ys.data(), static_cast<int>(c.xs.size()), INK);
    EXPECT_TRUE(looksLike(s, INK, c.want)) << c.xs.size() << " points";
  }
}

TEST(RasterPolygonsTest, NothingForNoPointsAndClipped) {
  Surface s(6, 4);
  int xs[] = {0, 100, 100, 0}, ys[] = {0, 0, 100, 100};
  vwt::platform::fillPolygon(s, xs, ys, 0, INK);
  vwt::platform::fillPolygon(s, xs, ys, -3, INK);
  vwt::platform::fillPolygon(s, nullptr, nullptr, 4, INK);
  EXPECT_TRUE(looksLike(s, INK, {"......", "......", "......", "......"}));
  s.setOrigin(1, 1);
  s.setClip(0, 0, 3, 2);
  vwt::platform::fillPolygon(s, xs, ys, 4, INK);
  EXPECT_TRUE(looksLike(s, INK, {"......", ".###..", ".###..", "......"}));
}

}  // namespace
