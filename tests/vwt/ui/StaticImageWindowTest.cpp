#include <gtest/gtest.h>

#include <cstdint>

#include "tests/vwt/ui/WidgetScreen.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/ui/Graphics.h"
#include "vwt/ui/Image.h"
#include "vwt/ui/Region.h"
#include "vwt/ui/StaticImageWindow.h"

namespace {

// Every pixel of the picture says where it is: red = 16 x, green = 16 y.
uint32_t at(int x, int y) {
  return static_cast<uint32_t>(x * 16) << 16 | static_cast<uint32_t>(y * 16) << 8 | 0x40;
}

Image* gridPicture() {
  Image* image = Image::createImage(8, 8, 0);
  Graphics* g = image->getGraphics();
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      g->setColor(static_cast<int>(at(x, y)));
      g->setPixel(x, y);
    }
  return image;
}

class StaticImageWindowTest : public WidgetScreen {};

TEST_F(StaticImageWindowTest, TheClipIsCopiedWhenTheSizesMatchAndScaledOtherwise) {
  WidgetFrame* f = open();
  AutoPtr<Image> picture(gridPicture());
  StaticImageWindow plain(u"StaticImageTest"_s, f, picture.get(), 10, 20, 4, 4, 2, 3, 4, 4);
  StaticImageWindow scaled(u"StaticImageTest"_s, f, picture.get(), 50, 20, 8, 8, 2, 3, 4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) ASSERT_EQ(pixel(10 + x, 20 + y), at(2 + x, 3 + y)) << x << "," << y;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(pixel(50 + x, 20 + y), at(2 + x / 2, 3 + y / 2)) << x << "," << y;
  EXPECT_EQ(pixel(14, 20), static_cast<uint32_t>(WidgetFrame::FRAME_COLOR));

  // A new clip is drawn only when asked.
  plain.setImageClip(0, 0, 4, 4);
  EXPECT_EQ(pixel(10, 20), at(2, 3));
  plain.drawImage();
  EXPECT_EQ(pixel(10, 20), at(0, 0));
  // Resized to the clip's double, the same clip is scaled.
  plain.setPosition(10, 40, 8, 8);
  EXPECT_EQ(pixel(17, 47), at(3, 3));
  EXPECT_EQ(pixel(10, 40), at(0, 0));
}

TEST_F(StaticImageWindowTest, ARegionShapesIt) {
  WidgetFrame* f = open();
  AutoPtr<Image> picture(gridPicture());
  StaticImageWindow window(u"StaticImageTest"_s, f, picture.get(), 10, 20, 8, 8, 0, 0, 8, 8);
  // An L: the left column and the bottom row of 4 x 4 blocks.
  AutoPtr<Region> shape(Region::createRectRgn(0, 0, 4, 8));
  AutoPtr<Region> bottom(Region::createRectRgn(0, 4, 8, 8));
  shape->combineRgn(bottom.get(), Region::RGN_OR);
  window.setWindowRgn(shape.get());
  f->repaint();
  EXPECT_EQ(pixel(10, 20), at(0, 0));
  EXPECT_EQ(pixel(17, 27), at(7, 7));
  EXPECT_EQ(pixel(16, 21), static_cast<uint32_t>(WidgetFrame::FRAME_COLOR));
  // Without a picture the window draws nothing and does not fail.
  StaticImageWindow empty(u"StaticImageTest"_s, f, nullptr, 100, 100, 8, 8, 0, 0, 8, 8);
  empty.drawImage();
}

}  // namespace
