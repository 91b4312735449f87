#include <gtest/gtest.h>

#include <string>

#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"
#include "vwt/io/InputStream.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Exception.h"
#include "vwt/ui/Camera.h"
#include "vwt/ui/ImageStore.h"
#include "vwt/ui/MediaImage.h"

namespace {
MediaImage* imageOf(const std::string& bytes, bool copy) {
  return new MediaImage(bytes.data(), 0, static_cast<int>(bytes.size()), copy);
}
const std::string GIF = "GIF89a....";
const std::string JPEG = "\xFF\xD8\xFF\xE0....";
const std::string PNG = "\x89PNG\r\n\x1A\n....";
}  // namespace

TEST(ImageStore, NamesGetTheTypesExtensionOnce) {
  struct Case {
    const char* name;
    const std::string* bytes;
    const char* want;
    int filter;
  } cases[] = {
      {"picture", &GIF, "picture.gif", -2700}, {"picture.GIF", &GIF, "picture.GIF", -2700},
      {"photo", &JPEG, "photo.jpg", -2701},    {"a.png", &JPEG, "a.png.jpg", -2701},
      {"shot.png", &PNG, "shot.png", -2702},   {"data", nullptr, "data", -2703},
  };
  static const std::string unknown = "unknown bytes";
  for (const Case& c : cases) {
    AutoPtr<MediaImage> image(imageOf(c.bytes ? *c.bytes : unknown, true));
    EXPECT_EQ(narrow(ImageStore::withExtension(wide(c.name), image.get())), c.want) << c.name;
    EXPECT_EQ(ImageStore::getFilterMessageId(image.get()), c.filter) << c.name;
  }
}

TEST(ImageStore, WritesAndReadsEntries) {
  ScratchProgram program;
  program.write("res/message.txt", "-2705=no file\n");
  std::string path = program.programDirectory() + "saved.gif";
  // A borrowed picture is written too.
  AutoPtr<MediaImage> image(imageOf(GIF, false));
  ImageStore::writeEntry(wide(path), image.get());
  ImageStore entry(wide(path));
  AutoPtr<InputStream> in(entry.getInputStream());
  char buf[64];
  int n = in->read(buf, 0, sizeof buf);
  ASSERT_EQ(n, static_cast<int>(GIF.size()));
  EXPECT_EQ(std::string(buf, n), GIF);

  ImageStore nothing(String::null);
  try {
    delete nothing.getInputStream();
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(narrow(e.getRawMessage()), "no file");
  }
}

TEST(Camera, NeverHasPictures) {
  AutoPtr<Camera> camera(Camera::getCamera(0));
  camera->takePicture();
  EXPECT_EQ(camera->getNumberOfImages(), 0);
  EXPECT_EQ(camera->getInputStream(0), nullptr);
}
