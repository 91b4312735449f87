// The browser's own pictures in res/: they decode with the toolkit's decoder, have the geometry the
// browser draws from, and the logo can carry the backup data as a comment.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "tests/vwt/ScratchDirectory.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/ui/Application.h"
#include "vwt/ui/DecodedImage.h"
#include "vwt/ui/MediaImage.h"
#include "vwt/ui/MediaManager.h"

namespace {

const uint32_t MAGENTA = 0xFFFF00FFu;  // opaque, so premultiplying leaves it as it is
const int LOGO_HEAD = 566;             // what the backup picture copies of the logo
const char* const PICTURES[] = {"banner.gif", "icon.gif", "vesklogo.gif"};

std::string sourceFile(const std::string& name) {
  std::ifstream in(std::string(VWT_SOURCE_DIR) + "/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The pixels of a decoded picture, row by row.
struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> argb;
  uint32_t at(int x, int y) const { return argb[y * width + x]; }
  // How many pixels of the rectangle are (or are not) magenta.
  int count(int x, int y, int w, int h, bool magenta) const {
    int n = 0;
    for (int yy = y; yy < y + h; ++yy)
      for (int xx = x; xx < x + w; ++xx) n += (at(xx, yy) == MAGENTA) == magenta;
    return n;
  }
};

Pixels decode(MediaImage* image) {
  image->use();
  AutoPtr<DecodedImage> decoded(image->getDecodedImage());
  Pixels p;
  p.width = decoded->getWidth();
  p.height = decoded->getHeight();
  p.argb = decoded->getPicture().pixels;
  return p;
}

// The GIF's blocks after the colour table: the comments' joined sub-blocks, the number of images, and
// whether the trailer is the last byte. Empty `error` when the walk got through.
struct GifBlocks {
  std::vector<std::string> comments;
  int images = 0;
  bool trailerLast = false;
  std::string error;
};

GifBlocks walk(const std::string& gif) {
  GifBlocks result;
  size_t p = 13;
  auto byte = [&](size_t at) -> int { return at < gif.size() ? static_cast<uint8_t>(gif[at]) : -1; };
  auto subBlocks = [&](std::string* data) {
    for (int n; (n = byte(p)) > 0; p += 1 + n) {
      if (data) *data += gif.substr(p + 1, n);
    }
    ++p;
  };
  if (gif.compare(0, 6, "GIF89a") != 0) return result.error = "signature", result;
  if (byte(10) & 0x80) p += 3u << ((byte(10) & 7) + 1);
  for (;;) {
    const int introducer = byte(p++);
    if (introducer == 0x3B) {
      result.trailerLast = p == gif.size();
      return result;
    }
    if (introducer == 0x21) {
      const int label = byte(p++);
      std::string data;
      subBlocks(label == 0xFE ? &data : nullptr);
      if (label == 0xFE) result.comments.push_back(data);
    } else if (introducer == 0x2C) {
      const int flags = byte(p + 8);
      p += 9;
      if (flags & 0x80) p += 3u << ((flags & 7) + 1);
      ++p;  // LZW code size
      subBlocks(nullptr);
      ++result.images;
    } else {
      result.error = "block " + std::to_string(introducer) + " at " + std::to_string(p - 1);
      return result;
    }
    if (p > gif.size()) return result.error = "runs past the end", result;
  }
}

// The logo's head, the package as a comment in 254-byte sub-blocks, the terminator and the trailer.
std::string backupPicture(const std::string& logo, const std::string& package) {
  std::string out = logo.substr(0, LOGO_HEAD) + "\x21\xFE";
  for (size_t i = 0; i < package.size(); i += 254) {
    std::string part = package.substr(i, 254);
    out += static_cast<char>(part.size());
    out += part;
  }
  out += '\0';
  out += '\x3B';
  return out;
}

class BrowserPicturesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : PICTURES)
      program.write(std::string("res/") + name, sourceFile(std::string("res/") + name));
    app.initialize(Application::INIT_IMAGING);
  }
  Pixels resource(const char* name) {
    AutoPtr<MediaImage> image(MediaManager::getImage(String(u"resource:///"_s) + String(name)));
    return decode(image.get());
  }
  ScratchProgram program;
  Application app;
};

TEST_F(BrowserPicturesTest, EachPictureDecodesWithItsSize) {
  // The banner fits a portrait screen unscaled; the strip holds two rows of 26 cells and the close
  // mark that reaches past the last column.
  struct Case {
    const char* name;
    int width;
    int height;
  } cases[] = {{"banner.gif", 224, 64}, {"icon.gif", 324, 24}, {"vesklogo.gif", 48, 48}};
  for (const Case& c : cases) {
    Pixels p = resource(c.name);
    EXPECT_EQ(p.width, c.width) << c.name;
    EXPECT_EQ(p.height, c.height) << c.name;
    EXPECT_EQ(walk(sourceFile(std::string("res/") + c.name)).error, "") << c.name;
  }
}

TEST_F(BrowserPicturesTest, PointerShapesStandOnMagenta) {
  Pixels p = resource("icon.gif");
  // The arrow at (0, 0) 13 x 19: its tip and its last row are ink, its corners beside the tip are not.
  EXPECT_NE(p.at(0, 0), MAGENTA);
  EXPECT_EQ(p.at(12, 0), MAGENTA);
  EXPECT_EQ(p.at(0, 18), MAGENTA);
  EXPECT_GT(p.count(0, 18, 13, 1, false), 0);
  EXPECT_GT(p.count(12, 0, 1, 19, false), 0);  // reaches its right edge
  const int arrowInk = p.count(0, 0, 13, 19, false);
  EXPECT_GT(arrowInk, 60);
  EXPECT_GT(p.count(0, 0, 13, 19, true), 60);
  // The small pointer at (13, 0) 10 x 12, and nothing of either below it in the 23 x 19 sprite.
  EXPECT_NE(p.at(13, 0), MAGENTA);
  EXPECT_GT(p.count(13, 0, 10, 12, false), 20);
  EXPECT_GT(p.count(13, 0, 10, 12, true), 20);
  EXPECT_EQ(p.count(13, 12, 10, 7, false), 0);
  EXPECT_EQ(p.count(0, 19, 24, 5, false), 0);  // the rest of cells 26 and 27
}

TEST_F(BrowserPicturesTest, EveryIconTheBrowserDrawsHasInkOnMagenta) {
  Pixels p = resource("icon.gif");
  const int used[] = {7, 9, 10, 11, 12, 13, 14, 15, 16, 17, 19, 20, 36, 38, 40, 41, 42, 43, 47};
  for (int n : used) {
    const int x = n % 26 * 12, y = n / 26 * 12;
    EXPECT_GT(p.count(x, y, 12, 12, false), 20) << "icon " << n;
    EXPECT_GT(p.count(x, y, 12, 12, true), 0) << "icon " << n;
  }
  // Checked and chosen differ from their empty forms in the middle of the cell.
  auto differing = [&](int a, int b) {
    int n = 0;
    for (int y = 3; y < 9; ++y)
      for (int x = 3; x < 9; ++x) n += p.at(a % 26 * 12 + x, 12 + y) != p.at(b % 26 * 12 + x, 12 + y);
    return n;
  };
  EXPECT_GT(differing(41, 40), 5);
  EXPECT_GT(differing(43, 42), 5);
  // The close mark, 24 x 12 at (300, 12): a solid face with rounded corners.
  EXPECT_EQ(p.count(300, 12, 24, 12, false), 24 * 12 - 12);
  EXPECT_EQ(p.at(300, 12), MAGENTA);
  EXPECT_EQ(p.at(323, 23), MAGENTA);
  // A cell no one draws stays clear.
  EXPECT_EQ(p.count(2 * 12, 0, 12, 12, false), 0);
}

TEST_F(BrowserPicturesTest, LogoHeadTakesTheBackupCommentAndStaysAPicture) {
  const std::string logo = sourceFile("res/vesklogo.gif");
  ASSERT_EQ(logo.size(), static_cast<size_t>(LOGO_HEAD + 1));
  EXPECT_EQ(logo.back(), '\x3B');
  GifBlocks own = walk(logo);
  EXPECT_EQ(own.error, "");
  EXPECT_EQ(own.images, 1);
  EXPECT_TRUE(own.trailerLast);

  // An empty package, one byte, one full sub-block, a full and a part one, and two full ones.
  for (size_t length : {0u, 1u, 254u, 300u, 508u}) {
    std::string package;
    for (size_t i = 0; i < length; ++i) package += static_cast<char>((i * 37 + 11) & 0xFF);
    const std::string backup = backupPicture(logo, package);
    GifBlocks blocks = walk(backup);
    EXPECT_EQ(blocks.error, "") << length;
    EXPECT_TRUE(blocks.trailerLast) << length;
    ASSERT_FALSE(blocks.comments.empty()) << length;
    EXPECT_EQ(blocks.comments.back(), package) << length;
    // A restore skips the head and the extension's two bytes, then reads the sub-blocks.
    EXPECT_EQ(backup.compare(LOGO_HEAD, 2, "\x21\xFE"), 0);

    AutoPtr<MediaImage> image(MediaManager::getImage(backup.data(), 0, static_cast<int>(backup.size())));
    Pixels p = decode(image.get());
    EXPECT_EQ(p.width, 48) << length;
    EXPECT_EQ(p.height, 48) << length;
  }
}

TEST(BrowserPicturesGenerator, WritesTheCheckedInBytes) {
  if (std::system("command -v python3 >/dev/null 2>&1") != 0) GTEST_SKIP() << "no python3";
  ScratchDirectory out;
  const std::string command =
      "python3 '" + std::string(VWT_SOURCE_DIR) + "/tools/make-resources' '" + out.path() + "' >/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  for (const char* name : PICTURES) {
    EXPECT_EQ(out.read(name), sourceFile(std::string("res/") + name)) << name;
  }
}

}  // namespace
