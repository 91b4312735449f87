#include <gtest/gtest.h>

#include <random>
#include <string>

#include "tests/vwt/PictureBytes.h"
#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"
#include "vwt/io/ByteArrayInputStream.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Exception.h"
#include "vwt/ui/Application.h"
#include "vwt/ui/DecodedImage.h"
#include "vwt/ui/Graphics.h"
#include "vwt/ui/Image.h"
#include "vwt/ui/ImagingImage.h"
#include "vwt/ui/MediaImage.h"
#include "vwt/ui/MediaManager.h"

namespace {

const char MESSAGES[] = "-1200=no decoder\n-1700=too short\n-1701=cannot decode\n-1702=not a resource\n";

class MediaImageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program.write("res/message.txt", MESSAGES);
    app.initialize(Application::INIT_IMAGING);
  }
  // The message a call throws, or "none".
  template <typename F>
  std::string thrown(F f) {
    try {
      f();
    } catch (const Exception& e) {
      return narrow(e.getRawMessage());
    }
    return "none";
  }
  ScratchProgram program;
  Application app;
};

std::string smallPng(int width, int height, bool noisy) {
  picturebytes::Png spec;
  spec.width = width;
  spec.height = height;
  std::mt19937 random(7);
  for (int i = 0; i < width * height; ++i) spec.argb.push_back(noisy ? random() : 0x80FF0000u);
  return picturebytes::encode(spec);
}

}  // namespace

TEST_F(MediaImageTest, RecognisesTheFormatBySignature) {
  std::string png = smallPng(2, 2, false);
  struct Case {
    const char* name;
    std::string bytes;
    int type;
    const char* typeString;
  } cases[] = {
      {"PNG", png, MediaImage::PNG, ".png"},
      {"PNG signature cut short", png.substr(0, 7), MediaImage::UNKNOWN, ""},
      {"GIF of three bytes", "GIF", MediaImage::GIF, ".gif"},
      {"JPEG of two bytes", "\xFF\xD8", MediaImage::JPEG, ".jpg"},
      {"unknown", "BM and more bytes", MediaImage::UNKNOWN, ""},
      {"empty", "", MediaImage::UNKNOWN, ""},
  };
  for (const Case& c : cases) {
    MediaImage image(c.bytes.data(), 0, static_cast<int>(c.bytes.size()), true);
    EXPECT_EQ(image.getType(), c.type) << c.name;
    EXPECT_EQ(narrow(image.getImageTypeAsString()), c.typeString) << c.name;
  }
}

TEST_F(MediaImageTest, UseReportsShortAndUndecodableBytes) {
  std::string png = smallPng(4, 4, true);
  picturebytes::Png huge;  // declares 5000 x 1, holds one row of 1 x 1
  huge.width = huge.height = 1;
  huge.argb = {0xFFFFFFFF};
  struct Case {
    const char* name;
    std::string bytes;
    const char* message;
  } cases[] = {
      {"empty", "", "too short"},
      {"GIF of seven bytes", "GIF89a\x01", "too short"},
      {"JPEG of three bytes", "\xFF\xD8\xFF", "too short"},
      {"GIF signature and junk", "GIF89a and then nothing that parses", "cannot decode"},
      {"unknown", "this is no picture at all", "cannot decode"},
      {"truncated PNG", png.substr(0, png.size() - 20), "cannot decode"},
      {"PNG larger than allowed", picturebytes::withPngSize(picturebytes::encode(huge), 5000, 1),
       "cannot decode"},
      {"PNG", png, "none"},
  };
  for (const Case& c : cases) {
    MediaImage image(c.bytes.data(), 0, static_cast<int>(c.bytes.size()), false);
    EXPECT_EQ(thrown([&] { image.use(); }), c.message) << c.name;
    EXPECT_EQ(image.isUsed(), std::string(c.message) == "none") << c.name;
  }
  // Long enough, and a GIF by its signature, but no GIF.
  MediaImage shortGif("GIF89a\x01\x00\x01\x00", 0, 10, false);
  EXPECT_EQ(shortGif.getType(), MediaImage::GIF);
  EXPECT_EQ(thrown([&] { shortGif.use(); }), "cannot decode");
}

TEST_F(MediaImageTest, DecodesUsesAgainAndDisposes) {
  std::string png = smallPng(3, 2, false);
  MediaImage image(png.data(), 0, static_cast<int>(png.size()), true);
  EXPECT_EQ(image.getDecodedImage(), nullptr);
  image.use();
  AutoPtr<DecodedImage> decoded(image.getDecodedImage());
  ASSERT_TRUE(decoded);
  DecodedImage::ImageInfo info{};
  EXPECT_EQ(decoded->getImageInfo(&info), 0);
  EXPECT_EQ(info.width, 3);
  EXPECT_EQ(info.height, 2);
  EXPECT_EQ(info.dpiX, 96);
  EXPECT_EQ(decoded->getPicture().pixels[0], 0x80800000u);  // premultiplied
  image.unuse();
  EXPECT_FALSE(image.isUsed());
  // The handle handed out keeps its pixels after the image let go of its own.
  EXPECT_EQ(decoded->getWidth(), 3);
  image.use();
  EXPECT_TRUE(image.isUsed());
  image.dispose();
  EXPECT_FALSE(image.isUsed());
  EXPECT_EQ(image.getLength(), 0);
  EXPECT_EQ(image.getType(), MediaImage::UNKNOWN);
}

// From bytes to pixels on an off-screen image: the picture's own alpha blends it over the white.
TEST_F(MediaImageTest, GetImageDrawsTheDecodedPictureWithItsAlpha) {
  picturebytes::Png spec;
  spec.width = 2;
  spec.height = 1;
  spec.argb = {0xFF0000FFu, 0x00FF0000u};  // opaque blue, fully transparent red
  std::string png = picturebytes::encode(spec);
  MediaImage media(png.data(), 0, static_cast<int>(png.size()), false);
  EXPECT_EQ(media.getImage(), nullptr);
  media.use();
  AutoPtr<ImagingImage> picture(media.getImage());
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->getWidth(), 2);
  EXPECT_EQ(picture->getHeight(), 1);
  EXPECT_TRUE(picture->isSupportAlpha());
  media.dispose();  // the image keeps the pixels it was given
  AutoPtr<Image> target(Image::createImage(3, 1, 0xFFFFFF));
  target->getGraphics()->drawImage(picture.get(), 0, 0);
  EXPECT_EQ(target->getGraphics()->getRGBPixel(0, 0) & 0xFFFFFF, 0x0000FF);
  EXPECT_EQ(target->getGraphics()->getRGBPixel(1, 0) & 0xFFFFFF, 0xFFFFFF);
  EXPECT_EQ(target->getGraphics()->getRGBPixel(2, 0) & 0xFFFFFF, 0xFFFFFF);
}

TEST_F(MediaImageTest, BorrowsOrCopiesTheBytes) {
  std::string buffer = "head" + smallPng(2, 2, false);
  const int length = static_cast<int>(buffer.size()) - 4;
  MediaImage borrowed(buffer.data(), 4, length, false);
  MediaImage copied(buffer.data(), 4, length, true);
  char* data = nullptr;
  int n = 0;
  borrowed.getNativeBuffer(&data, &n);
  EXPECT_EQ(data, nullptr);
  EXPECT_EQ(n, length);
  EXPECT_EQ(borrowed.getBytes(), buffer.data() + 4);
  copied.getNativeBuffer(&data, &n);
  ASSERT_NE(data, nullptr);
  EXPECT_NE(data, buffer.data() + 4);
  EXPECT_EQ(std::string(data, n), buffer.substr(4));
  EXPECT_EQ(borrowed.getType(), MediaImage::PNG);
  EXPECT_EQ(copied.getType(), MediaImage::PNG);
  // A negative offset or length is no bytes at all.
  MediaImage none(buffer.data(), -1, 10, true);
  EXPECT_EQ(none.getLength(), 0);
  EXPECT_EQ(thrown([&] { none.use(); }), "too short");

  AutoPtr<MediaImage> managed(MediaManager::getImage(buffer.data(), 4, length));
  managed->getNativeBuffer(&data, &n);
  EXPECT_EQ(data, nullptr);
  EXPECT_EQ(managed->getBytes(), buffer.data() + 4);
}

TEST_F(MediaImageTest, ReadsAStreamOfManyChunks) {
  std::string png = smallPng(64, 64, true);
  ASSERT_GT(png.size(), 3u * 4096);
  ByteArrayInputStream in(png.data(), 0, static_cast<int>(png.size()));
  AutoPtr<MediaImage> image(MediaManager::getImage(&in));
  char* data = nullptr;
  int n = 0;
  image->getNativeBuffer(&data, &n);
  ASSERT_EQ(n, static_cast<int>(png.size()));
  EXPECT_EQ(std::string(data, n), png);
  image->use();
  AutoPtr<DecodedImage> decoded(image->getDecodedImage());
  EXPECT_EQ(decoded->getWidth(), 64);
}

TEST_F(MediaImageTest, ResourcePicturesComeFromResBesideTheProgram) {
  picturebytes::Gif gif;
  gif.width = gif.height = gif.screenWidth = gif.screenHeight = 2;
  gif.palette = {0x000000, 0xFFFFFF};
  gif.indices = {0, 1, 1, 0};
  std::string bytes = picturebytes::encode(gif);
  program.write("res/logo.gif", bytes);
  AutoPtr<MediaImage> image(MediaManager::getImage(u"resource:///logo.gif"_s));
  EXPECT_EQ(image->getType(), MediaImage::GIF);
  char* data = nullptr;
  int n = 0;
  image->getNativeBuffer(&data, &n);
  EXPECT_EQ(std::string(data, n), bytes);
  image->use();
  AutoPtr<DecodedImage> decoded(image->getDecodedImage());
  EXPECT_EQ(decoded->getPicture().pixels[1], 0xFFFFFFFFu);

  EXPECT_EQ(thrown([] { delete MediaManager::getImage(u"file:///logo.gif"_s); }), "not a resource");
  EXPECT_EQ(thrown([] { delete MediaManager::getImage(u"RESOURCE:///logo.gif"_s); }), "not a resource");
  EXPECT_NE(thrown([] { delete MediaManager::getImage(u"resource:///missing.gif"_s); }), "none");
}

TEST(MediaImageWithoutApplication, UseNeedsTheApplicationsDecoder) {
  ScratchProgram program;
  program.write("res/message.txt", MESSAGES);
  ASSERT_EQ(Application::getCurrentApp(), nullptr);
  std::string png = smallPng(2, 2, false);
  MediaImage image(png.data(), 0, static_cast<int>(png.size()), false);
  try {
    image.use();
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(narrow(e.getRawMessage()), "no decoder");
  }
  Application app;  // without initialize(INIT_IMAGING)
  EXPECT_THROW(image.use(), Exception);
  app.initialize(Application::INIT_IMAGING);
  image.use();
  EXPECT_TRUE(image.isUsed());
}
