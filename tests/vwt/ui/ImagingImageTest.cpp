#include <gtest/gtest.h>

#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"
#include "vwt/ui/DecodedImage.h"
#include "vwt/ui/Graphics.h"
#include "vwt/ui/ImagingImage.h"

namespace {

const int KEY = 0xFF00FF;

// Premultiplied: opaque red, half-transparent white, fully transparent, opaque key colour.
DecodedImage* picture(int dpi = 96) {
  vwt::platform::DecodedPicture p;
  p.width = 4;
  p.height = 1;
  p.dpiX = p.dpiY = dpi;
  p.pixels = {0xFFFF0000u, 0x80808080u, 0x00000000u, 0xFF000000u | KEY};
  return new DecodedImage(std::move(p));
}

TEST(ImagingImageTest, DrawsWithItsOwnAlpha) {
  AutoPtr<ImagingImage> image(ImagingImage::createImage(picture()));
  EXPECT_EQ(image->getWidth(), 4);
  EXPECT_EQ(image->getHeight(), 1);
  EXPECT_TRUE(image->isSupportAlpha());
  AutoPtr<Image> screen(Image::createImage(8, 2, 0x0000FF));
  Graphics* g = screen->getGraphics();
  g->drawImage(image.get(), 0, 0);
  EXPECT_EQ(g->getRGBPixel(0, 0), 0xFF0000);
  EXPECT_EQ(g->getRGBPixel(1, 0), 0x8080FF);  // half white over blue
  EXPECT_EQ(g->getRGBPixel(2, 0), 0x0000FF);  // transparent
  EXPECT_EQ(g->getRGBPixel(3, 0), KEY);       // an opaque pixel of any colour shows
  g->drawScaledImage(image.get(), 0, 1, 8, 1, 0, 0, 4, 1);
  EXPECT_EQ(g->getRGBPixel(1, 1), 0xFF0000);
  EXPECT_EQ(g->getRGBPixel(5, 1), 0x0000FF);
  g->drawImage(image.get(), 6, 0, 3, 0, 1, 1);  // a source rectangle
  EXPECT_EQ(g->getRGBPixel(6, 0), KEY);
}

TEST(ImagingImageTest, SourceRectanglesInHundredthsOfAMillimetre) {
  struct Case {
    int x, y, w, h, dpi;
    ImagingImage::Himetric want;
  } cases[] = {{1, 1, 2, 2, 96, {26, 26, 78, 78}},
               {10, 0, 10, 0, 254, {100, 0, 200, 0}},
               {3, 0, 1, 1, 72, {105, 0, 140, 35}},
               {3, 0, 1, 1, 0, {79, 0, 105, 26}}};  // no resolution: 96
  for (const Case& c : cases) {
    ImagingImage::Himetric h = ImagingImage::toHimetric(c.x, c.y, c.w, c.h, c.dpi, c.dpi);
    EXPECT_EQ(h.left, c.want.left) << c.dpi;
    EXPECT_EQ(h.top, c.want.top) << c.dpi;
    EXPECT_EQ(h.right, c.want.right) << c.dpi;
    EXPECT_EQ(h.bottom, c.want.bottom) << c.dpi;
  }
  // Truncated on the way in, the source still lands on whole pixels: pixel 3 at 72 dpi is the key.
  for (int dpi : {72, 96, 300}) {
    AutoPtr<ImagingImage> image(ImagingImage::createImage(picture(dpi)));
    for (int x = 0; x < 4; ++x) {
      AutoPtr<Image> screen(Image::createImage(2, 1, 0));
      screen->getGraphics()->drawImage(image.get(), 0, 0, x, 0, 1, 1);
      const int want[] = {0xFF0000, 0x808080, 0x000000, KEY};
      EXPECT_EQ(screen->getGraphics()->getRGBPixel(0, 0), want[x]) << dpi << " " << x;
    }
  }
}

TEST(ImagingImageTest, KeyColourFlattensOnce) {
  AutoPtr<ImagingImage> image(ImagingImage::createImage(picture()));
  image->setTransparentColor(KEY);
  EXPECT_FALSE(image->isSupportAlpha());
  EXPECT_EQ(image->getTransparentColor(), KEY);
  AutoPtr<Image> screen(Image::createImage(4, 1, 0x00FF00));
  Graphics* g = screen->getGraphics();
  g->drawImage(image.get(), 0, 0);
  EXPECT_EQ(g->getRGBPixel(0, 0), 0xFF0000);
  EXPECT_EQ(g->getRGBPixel(1, 0), 0xFF80FF);  // flattened against the key colour, then opaque
  EXPECT_EQ(g->getRGBPixel(2, 0), 0x00FF00);  // transparent stays transparent
  EXPECT_EQ(g->getRGBPixel(3, 0), 0x00FF00);  // and so does an opaque pixel of the key colour
  image->setTransparentColor(0x123456);       // already flat: only the key changes
  EXPECT_EQ(image->getTransparentColor(), 0x123456);
  EXPECT_EQ(image->getGraphics()->getRGBPixel(2, 0), KEY);
}

TEST(ImagingImageTest, PictureWithoutSizeIsRefused) {
  for (bool none : {true, false}) {
    try {
      AutoPtr<ImagingImage> image(
          ImagingImage::createImage(none ? nullptr : new DecodedImage(vwt::platform::DecodedPicture())));
      ADD_FAILURE() << "accepted";
    } catch (const Exception& e) {
      EXPECT_TRUE(e.getRawMessage().equals(Resource::getString(-1600)));
      EXPECT_NE(e.getCode(), 0u);
    }
  }
}

TEST(ImagingImageTest, PixelFormatNames) {
  struct Case {
    int code;
    const char16_t* name;
  } cases[] = {{0x21005, u"PixelFormat16bppRGB555"}, {0x22009, u"PixelFormat32bppRGB"},
               {0xE200B, u"PixelFormat32bppPARGB"},  {0x26200A, u"PixelFormat32bppARGB"},
               {0x34400D, u"PixelFormat64bppARGB"},  {0, u"PixelFormatUnknown"},
               {-1, u"PixelFormatUnknown"}};
  for (const Case& c : cases) EXPECT_TRUE(ImagingImage::getPixelFormatName(c.code).equals(c.name)) << c.code;
}

}  // namespace
