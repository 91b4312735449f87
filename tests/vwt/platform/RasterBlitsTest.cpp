#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/vwt/RasterPicture.h"
#include "vwt/platform/RasterBlits.h"
#include "vwt/platform/RasterRects.h"

using vwt::platform::PixelTarget;
using vwt::platform::Surface;

namespace {

const uint32_t INK = 0xABCDEF;
const uint32_t KEY = 0xFF00FF;

// A source whose pixel (x, y) has the colour (x, y, 7).
void gradient(Surface& s) {
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x) s.row(y)[x] = 0xFF000000u | uint32_t(x) << 16 | uint32_t(y) << 8 | 7;
}

uint32_t at(const Surface& s, int x, int y) { return s.row(y)[x] & 0xFFFFFF; }

TEST(RasterBlitsTest, CopiesCutTheSourceAndHonourTheClip) {
  Surface src(4, 4), dst(6, 6);
  gradient(src);
  // From (2, 2) for 4 x 4: only the 2 x 2 inside the source arrives, at the destination corner.
  vwt::platform::copy(dst, 1, 1, src, 2, 2, 4, 4);
  EXPECT_EQ(at(dst, 1, 1), 0x020207u);
  EXPECT_EQ(at(dst, 2, 2), 0x030307u);
  EXPECT_EQ(at(dst, 3, 3), 0u);
  EXPECT_EQ(at(dst, 0, 0), 0u);
  // A negative source corner moves the destination with it.
  Surface d2(6, 6);
  vwt::platform::copy(d2, 0, 0, src, -1, -1, 3, 3);
  EXPECT_EQ(at(d2, 0, 0), 0u);
  EXPECT_EQ(at(d2, 1, 1), 0x000007u);
  EXPECT_EQ(at(d2, 2, 2), 0x010107u);
  // Clip and origin.
  Surface d3(6, 6);
  d3.setOrigin(1, 0);
  d3.setClip(0, 0, 2, 1);
  vwt::platform::copy(d3, 0, 0, src, 0, 0, 4, 4);
  EXPECT_EQ(at(d3, 1, 0), 0x000007u);
  EXPECT_EQ(at(d3, 2, 0), 0x010007u);
  EXPECT_EQ(at(d3, 3, 0), 0u);
  EXPECT_EQ(at(d3, 1, 1), 0u);
}

TEST(RasterBlitsTest, WholeRowCopiesMatchRowByRow) {
  Surface src(5, 4), whole(5, 4), wider(7, 4), keyed(5, 4);
  gradient(src);
  src.row(2)[3] = 0xFF000000u | KEY;
  vwt::platform::copy(whole, 0, 0, src, 0, 0, 5, 4);  // rows of both surfaces follow each other
  vwt::platform::copy(wider, 0, 0, src, 0, 0, 5, 4);  // a row at a time
  paint(keyed, 0x111111);
  vwt::platform::copyKeyed(keyed, 0, 0, src, 0, 0, 5, 4, KEY);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) {
      EXPECT_EQ(at(whole, x, y), at(src, x, y));
      EXPECT_EQ(at(wider, x, y), at(src, x, y));
      EXPECT_EQ(at(keyed, x, y), x == 3 && y == 2 ? 0x111111u : at(src, x, y));
    }
}

TEST(RasterBlitsTest, CopyAreaIsOverlapSafeInEveryDirection) {
  struct Case {
    int dx, dy;
  } cases[] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {2, 2}, {-2, -1}, {1, -2}};
  for (const Case& c : cases) {
    for (bool twoRects : {false, true}) {
      Surface s(10, 10);
      gradient(s);
      if (twoRects) {
        vwt::platform::PixelRegion r(vwt::platform::PixelRect{0, 0, 10, 5});
        r.combine(vwt::platform::PixelRegion(vwt::platform::PixelRect{0, 5, 4, 10}),
                  vwt::platform::PixelRegion::OR);
        s.setBase(0, 0, r);
      }
      vwt::platform::copyArea(s, 3, 3, 4, 4, c.dx, c.dy);
      for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
          const int tx = 3 + x + c.dx, ty = 3 + y + c.dy;
          const bool visible = !twoRects || ty < 5 || tx < 4;
          if (visible) {
            EXPECT_EQ(at(s, tx, ty), uint32_t(3 + x) << 16 | uint32_t(3 + y) << 8 | 7) << c.dx << "," << c.dy;
          }
        }
    }
  }
}

TEST(RasterBlitsTest, ColourKeyedCopyLeavesKeyPixels) {
  Surface src(3, 1), dst(3, 1);
  src.row(0)[0] = 0xFF000000u | KEY;
  src.row(0)[1] = 0x00000000u | INK;  // an alpha byte of 0 does not matter
  src.row(0)[2] = 0xFF000000u | KEY;
  paint(dst, 0x111111);
  vwt::platform::copyKeyed(dst, 0, 0, src, 0, 0, 3, 1, KEY);
  EXPECT_EQ(at(dst, 0, 0), 0x111111u);
  EXPECT_EQ(dst.row(0)[1], 0xFF000000u | INK);  // written opaque
  EXPECT_EQ(at(dst, 2, 0), 0x111111u);
}

TEST(RasterBlitsTest, ColourKeyedRowsOfEveryLength) {
  // Rows long enough for the four-at-a-time path, with a tail, and keys at every position.
  for (int n : {1, 4, 5, 11, 16}) {
    Surface src(n, 1), dst(n, 1);
    paint(dst, 0x111111);
    for (int i = 0; i < n; ++i)
      src.row(0)[i] = (i % 3 == 1) ? KEY : 0x00000000u | (0x10 * i);  // alpha 0 kept out
    vwt::platform::copyKeyed(dst, 0, 0, src, 0, 0, n, 1, KEY);
    for (int i = 0; i < n; ++i) {
      EXPECT_EQ(dst.row(0)[i], i % 3 == 1 ? 0xFF111111u : 0xFF000000u | (0x10 * i)) << n << " " << i;
    }
  }
}

TEST(RasterBlitsTest, NearestStretchPicksPixelCentres) {
  Surface src(3, 2), up(6, 4), down(2, 1);
  gradient(src);
  vwt::platform::stretch(up, 0, 0, 6, 4, src, 0, 0, 3, 2);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(at(up, x, y), uint32_t(x / 2) << 16 | uint32_t(y / 2) << 8 | 7);
  vwt::platform::stretch(down, 0, 0, 2, 1, src, 0, 0, 3, 2);  // centres 0.75 and 2.25 of 3, 1.0 of 2
  EXPECT_EQ(at(down, 0, 0), 0x000107u);
  EXPECT_EQ(at(down, 1, 0), 0x020107u);
  // Odd ratios: the keyed stretch picks the same pixels as the plain one.
  Surface big(7, 5), plain(11, 9), keyed(11, 9);
  gradient(big);
  for (int sw : {3, 7}) {
    vwt::platform::stretch(plain, 0, 0, 11, 9, big, 0, 0, sw, 5);
    vwt::platform::stretchKeyed(keyed, 0, 0, 11, 9, big, 0, 0, sw, 5, KEY);
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < 11; ++x) EXPECT_EQ(at(plain, x, y), at(keyed, x, y)) << x << "," << y;
  }
  // A key pixel stretched stays transparent; outside the source the edge repeats.
  Surface one(2, 1), target(4, 2);
  one.row(0)[0] = 0xFF000000u | KEY;
  one.row(0)[1] = 0xFF000000u | INK;
  vwt::platform::stretchKeyed(target, 0, 0, 4, 2, one, 0, 0, 2, 1, KEY);
  EXPECT_TRUE(looksLike(target, INK, {"..##", "..##"}));
  vwt::platform::stretch(target, 0, 0, 4, 1, one, 1, 0, 2, 1);  // source column 2 does not exist
  EXPECT_TRUE(looksLike(target, INK, {"####", "..##"}));
}

TEST(RasterBlitsTest, ConstantAlphaBlend) {
  struct Case {
    int alpha;
    uint32_t want;
  } cases[] = {{0, 0x000000},  {255, 0xFFFFFF}, {128, 0x808080},
               {64, 0x404040}, {-5, 0x000000},  {300, 0xFFFFFF}};
  Surface white(1, 1);
  paint(white, 0xFFFFFF);
  for (const Case& c : cases) {
    Surface s(3, 1);
    vwt::platform::blendStretch(s, 1, 0, 1, 1, white, 0, 0, 1, 1, c.alpha);
    const uint32_t got = at(s, 1, 0);
    for (int shift : {0, 8, 16}) {
      EXPECT_LE(std::abs(int((got >> shift) & 0xFF) - int((c.want >> shift) & 0xFF)), 1) << c.alpha;
    }
    EXPECT_EQ(s.row(0)[1] >> 24, 0xFFu);  // the destination stays opaque
    EXPECT_EQ(at(s, 0, 0), 0u);
    EXPECT_EQ(at(s, 2, 0), 0u);
  }
  // A larger source stretched with one alpha.
  Surface src(2, 1), dst(4, 1);
  src.row(0)[0] = 0xFFFF0000u;
  src.row(0)[1] = 0x000000FFu;  // device pixels count as opaque whatever their alpha byte
  vwt::platform::blendStretch(dst, 0, 0, 4, 1, src, 0, 0, 2, 1, 255);
  EXPECT_EQ(at(dst, 0, 0), 0xFF0000u);
  EXPECT_EQ(at(dst, 1, 0), 0xFF0000u);
  EXPECT_EQ(at(dst, 3, 0), 0x0000FFu);
}

TEST(RasterBlitsTest, PictureCompositesWithItsOwnAlpha) {
  // Premultiplied: opaque red, half-transparent white (0x80 of 0x80), fully transparent.
  uint32_t pixels[3] = {0xFFFF0000u, 0x80808080u, 0x00000000u};
  PixelTarget picture;
  picture.pixels = pixels;
  picture.stride = 3;
  picture.width = 3;
  picture.height = 1;
  Surface s(6, 1);
  paint(s, 0x0000FF);
  vwt::platform::composite(s, 0, 0, 6, 1, picture, 0, 0, 3, 1);
  EXPECT_EQ(at(s, 0, 0), 0xFF0000u);
  EXPECT_EQ(at(s, 1, 0), 0xFF0000u);
  EXPECT_EQ(at(s, 2, 0), 0x8080FFu);  // 0x80 + 0xFF * (0xFF - 0x80) / 0xFF in blue
  EXPECT_EQ(at(s, 4, 0), 0x0000FFu);
  EXPECT_EQ(s.row(0)[2] >> 24, 0xFFu);
  // A source rectangle: just the last two pixels, over three.
  Surface t(3, 1);
  paint(t, 0x0000FF);
  vwt::platform::composite(t, 0, 0, 2, 1, picture, 1, 0, 2, 1);
  EXPECT_EQ(at(t, 0, 0), 0x8080FFu);
  EXPECT_EQ(at(t, 1, 0), 0x0000FFu);
}

}  // namespace
