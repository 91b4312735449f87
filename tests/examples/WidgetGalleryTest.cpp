#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/vwt/ScratchDirectory.h"
#include "vwt/platform/DecodedPicture.h"
#include "vwt/platform/PictureDecoder.h"
#include "vwt/platform/PixelTarget.h"
#include "vwt/platform/PngWriter.h"

// The gallery's main view, shot headless, is the picture the README shows (docs/pictures): a change
// to any widget's drawing shows up here. VESK_WRITE_GOLDEN=1 writes the new picture instead.

using namespace vwt::platform;

namespace {

// Pixels may differ by this much per channel (rounding of scaled glyphs).
const int TOLERANCE = 8;

bool load(const std::string& path, DecodedPicture* picture) {
  std::ifstream in(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return !bytes.empty() && PictureDecoder::decode(reinterpret_cast<const unsigned char*>(bytes.data()),
                                                  bytes.size(), picture) == PictureDecoder::OK;
}

int channelDifference(uint32_t a, uint32_t b) {
  int most = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    int d = static_cast<int>(a >> shift & 255) - static_cast<int>(b >> shift & 255);
    most = std::max(most, d < 0 ? -d : d);
  }
  return most;
}

// Runs the gallery headless with the script lines and a shot at the end into picture.
int shoot(const ScratchDirectory& dir, const std::string& lines, const std::string& picture) {
  dir.write("script.txt", lines + "shot " + picture + "\nquit\n");
  std::string command = "VWT_DISPLAY=headless VWT_SCREEN_SIZE=240x320 VWT_INPUT_SCRIPT='" +
                        (dir / "script.txt") + "' XDG_RUNTIME_DIR='" + dir.path() + "' '" +
                        WIDGET_GALLERY_PROGRAM + "'";
  return std::system(command.c_str());
}

TEST(WidgetGallery, TheMainViewLooksAsTheReadmeShowsIt) {
  ScratchDirectory dir;
  std::string shot = dir / "gallery.png";
  ASSERT_EQ(shoot(dir, "idle\n", shot), 0);
  std::string golden = std::string(VWT_SOURCE_DIR) + "/docs/pictures/widget-gallery.png";
  if (std::getenv("VESK_WRITE_GOLDEN")) {
    std::ifstream in(shot, std::ios::binary);
    std::ofstream(golden, std::ios::binary) << in.rdbuf();
  }
  DecodedPicture actual, expected;
  ASSERT_TRUE(load(shot, &actual));
  ASSERT_TRUE(load(golden, &expected)) << golden;
  ASSERT_EQ(actual.width, expected.width);
  ASSERT_EQ(actual.height, expected.height);
  // The difference picture: black where the pixels agree, red where they do not.
  std::vector<uint32_t> diff(actual.pixels.size(), 0xFF000000u);
  int differing = 0, firstX = -1, firstY = -1;
  for (size_t i = 0; i < actual.pixels.size(); ++i) {
    if (channelDifference(actual.pixels[i], expected.pixels[i]) <= TOLERANCE) continue;
    diff[i] = 0xFFFF0000u;
    if (differing++ == 0) {
      firstX = static_cast<int>(i) % actual.width;
      firstY = static_cast<int>(i) / actual.width;
    }
  }
  if (differing) {
    std::string diffPath = std::string(::testing::TempDir()) + "widget-gallery-diff.png";
    std::string actualPath = std::string(::testing::TempDir()) + "widget-gallery-actual.png";
    PixelTarget t{diff.data(), actual.width, actual.width, actual.height};
    writePng(diffPath, t);
    PixelTarget a{actual.pixels.data(), actual.width, actual.width, actual.height};
    writePng(actualPath, a);
    ADD_FAILURE() << differing << " pixels differ, the first at " << firstX << "," << firstY << "; see "
                  << actualPath << " and " << diffPath;
  }
}

}  // namespace
