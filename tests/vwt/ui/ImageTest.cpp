#include <gtest/gtest.h>

#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"
#include "vwt/ui/Graphics.h"
#include "vwt/ui/Image.h"

namespace {

TEST(ImageTest, CreateFillsAndLeavesBlack) {
  AutoPtr<Image> image(Image::createImage(4, 3, 0x123456));
  ASSERT_NE(image->getGraphics(), nullptr);
  EXPECT_EQ(image->getWidth(), 4);
  EXPECT_EQ(image->getHeight(), 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(image->getGraphics()->getRGBPixel(x, y), 0x123456);
  EXPECT_EQ(static_cast<uint32_t>(image->getGraphics()->getColor()), 0xFF000000u);
  EXPECT_EQ(image->getGraphics(), image->getGraphics());  // made once
  EXPECT_FALSE(image->isSupportAlpha());
  EXPECT_EQ(image->getTransparentColor(), -1);
  AutoPtr<Image> empty(Image::createImage(0, 0, 0));
  EXPECT_EQ(empty->getWidth(), 0);
}

TEST(ImageTest, BadSizesAreRefusedBeforeAllocating) {
  struct Case {
    int w, h;
  } cases[] = {{-1, 5},
               {5, -1},
               {Image::MAX_SIDE + 1, 1},
               {1, Image::MAX_SIDE + 1},
               {Image::MAX_SIDE, Image::MAX_SIDE},
               {2147483647, 2147483647}};
  for (const Case& c : cases) {
    try {
      AutoPtr<Image> image(Image::createImage(c.w, c.h, 0));
      ADD_FAILURE() << c.w << "x" << c.h << " accepted";
    } catch (const Exception& e) {
      EXPECT_TRUE(e.getRawMessage().equals(Resource::getString(-1501))) << c.w << "x" << c.h;
      EXPECT_NE(e.getCode(), 0u);
    }
  }
}

TEST(ImageTest, KeyColourAndDispose) {
  AutoPtr<Image> image(Image::createImage(3, 1, 0x00FF00));
  image->getGraphics()->setColor(0xFF00FF);
  image->getGraphics()->setPixel(2, 0);
  image->setTransparentColor(2, 0);
  EXPECT_EQ(image->getTransparentColor(), 0xFF00FF);
  image->setTransparentColor(0x010203);
  EXPECT_EQ(image->getTransparentColor(), 0x010203);
  image->dispose();
  EXPECT_EQ(image->getWidth(), 0);
  EXPECT_EQ(image->getHeight(), 0);
  EXPECT_EQ(image->getSurface(), nullptr);
  EXPECT_EQ(image->getGraphics(), nullptr);
  image->setTransparentColor(0, 0);  // no pixels to read: unchanged
  EXPECT_EQ(image->getTransparentColor(), 0x010203);
  image->dispose();  // twice is harmless
}

}  // namespace
