#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "tests/vwt/PictureBytes.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/ui/DecodedImage.h"
#include "vwt/ui/ImagingFactory.h"

TEST(DecodedImage, ReportsSizeAndResolutionAndSharesItsPixels) {
  vwt::platform::DecodedPicture picture;
  picture.width = 2;
  picture.height = 1;
  picture.dpiX = 150;
  picture.dpiY = 72;
  picture.pixels = {0xFF102030u, 0x80000000u};
  AutoPtr<DecodedImage> image(new DecodedImage(std::move(picture)));
  DecodedImage::ImageInfo info{};
  ASSERT_EQ(image->getImageInfo(&info), 0);
  EXPECT_EQ(info.width, 2);
  EXPECT_EQ(info.height, 1);
  EXPECT_EQ(info.dpiX, 150);
  EXPECT_EQ(info.dpiY, 72);
  AutoPtr<DecodedImage> shared(image->share());
  EXPECT_EQ(&shared->getPicture(), &image->getPicture());
  image.reset();
  EXPECT_EQ(shared->getPicture().pixels[1], 0x80000000u);

  AutoPtr<DecodedImage> empty(new DecodedImage(vwt::platform::DecodedPicture()));
  info.width = 7;
  EXPECT_EQ(empty->getImageInfo(&info), -1);
  EXPECT_EQ(info.width, 7);
}

TEST(ImagingFactory, DecodesOrGivesNull) {
  picturebytes::Gif gif;
  gif.width = gif.height = gif.screenWidth = gif.screenHeight = 1;
  gif.palette = {0x123456, 0};
  gif.indices = {0};
  std::string bytes = picturebytes::encode(gif);
  ImagingFactory factory;
  AutoPtr<DecodedImage> image(factory.createImageFromBuffer(bytes.data(), static_cast<int>(bytes.size())));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->getPicture().pixels[0], 0xFF123456u);
  EXPECT_EQ(factory.createImageFromBuffer(nullptr, 10), nullptr);
  EXPECT_EQ(factory.createImageFromBuffer(bytes.data(), -1), nullptr);
  EXPECT_EQ(factory.createImageFromBuffer(bytes.data(), static_cast<int>(bytes.size()) - 4), nullptr);
}
