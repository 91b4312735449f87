#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/vwt/PictureBytes.h"
#include "vwt/platform/PictureDecoder.h"

using vwt::platform::DecodedPicture;
using vwt::platform::PictureDecoder;

namespace {

PictureDecoder::Result decode(const std::string& bytes, DecodedPicture* out) {
  return PictureDecoder::decode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), out);
}

// A 7 x 5 picture of distinct colours and alphas: odd sizes catch row and interlace mistakes.
std::vector<uint32_t> testPixels(int width, int height, bool withAlpha) {
  std::vector<uint32_t> p;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint32_t a = withAlpha ? static_cast<uint32_t>((x * 40 + y * 50) % 256) : 255;
      p.push_back(a << 24 | uint32_t(x * 36) << 16 | uint32_t(y * 60) << 8 | uint32_t((x + y) * 20));
    }
  return p;
}

// Compares pixel by pixel within a tolerance per channel; reports the first few differences.
::testing::AssertionResult samePixels(const DecodedPicture& got, const std::vector<uint32_t>& want,
                                      int tolerance) {
  if (got.pixels.size() != want.size())
    return ::testing::AssertionFailure() << "size " << got.pixels.size() << " != " << want.size();
  int bad = 0;
  ::testing::AssertionResult failure = ::testing::AssertionFailure();
  for (size_t i = 0; i < want.size(); ++i) {
    for (int shift = 0; shift < 32; shift += 8) {
      int a = got.pixels[i] >> shift & 0xFF, b = want[i] >> shift & 0xFF;
      if (std::abs(a - b) > tolerance) {
        if (bad++ < 5)
          failure << "(" << i % got.width << "," << i / got.width << ") got " << std::hex << got.pixels[i]
                  << " want " << want[i] << std::dec << "; ";
        break;
      }
    }
  }
  return bad ? failure << bad << " pixels differ" : ::testing::AssertionSuccess();
}

}  // namespace

TEST(PictureDecoder, PngVariants) {
  using picturebytes::Png;
  struct Case {
    const char* name;
    int colourType;
    int depth;
    bool interlaced;
    bool alpha;
    int perMetre;
    int dpi;
  } cases[] = {
      {"alpha", PNG_COLOR_TYPE_RGB_ALPHA, 8, false, true, 0, 96},
      {"palette with tRNS", PNG_COLOR_TYPE_PALETTE, 8, false, true, 0, 96},
      {"16-bit alpha", PNG_COLOR_TYPE_RGB_ALPHA, 16, false, true, 0, 96},
      {"interlaced with pHYs", PNG_COLOR_TYPE_RGB, 8, true, false, 5906, 150},
      {"grey 16-bit", PNG_COLOR_TYPE_GRAY, 16, false, false, 3780, 96},
      {"grey with alpha", PNG_COLOR_TYPE_GRAY_ALPHA, 8, true, true, 0, 96},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Png spec;
    spec.width = 7;
    spec.height = 5;
    spec.argb = testPixels(7, 5, c.alpha);
    spec.colourType = c.colourType;
    spec.depth = c.depth;
    spec.interlaced = c.interlaced;
    spec.pixelsPerMetre = c.perMetre;
    std::vector<uint32_t> want;
    for (uint32_t p : spec.argb) {
      bool grey = !(c.colourType & PNG_COLOR_MASK_COLOR);
      if (grey) p = (p & 0xFF000000u) | (p >> 8 & 0xFF) * 0x010101u;
      want.push_back(picturebytes::premultiply(p));
    }
    DecodedPicture out;
    ASSERT_EQ(decode(picturebytes::encode(spec), &out), PictureDecoder::OK);
    EXPECT_EQ(out.width, 7);
    EXPECT_EQ(out.height, 5);
    EXPECT_EQ(out.dpiX, c.dpi);
    EXPECT_EQ(out.dpiY, c.dpi);
    EXPECT_TRUE(samePixels(out, want, 0));
  }
}

TEST(PictureDecoder, JpegVariants) {
  using picturebytes::Jpeg;
  // 16 x 16 blocks of one colour each survive compression almost unchanged.
  const int w = 32, h = 16;
  std::vector<uint32_t> colours = {0xFFC03020, 0xFF2080E0};
  struct Case {
    const char* name;
    bool grey;
    bool cmyk;
    bool progressive;
    int dpi;
  } cases[] = {{"baseline", false, false, false, 0},
               {"progressive", false, false, true, 300},
               {"grey", true, false, false, 72},
               {"CMYK", false, true, false, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Jpeg spec;
    spec.width = w;
    spec.height = h;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) spec.argb.push_back(colours[x / 16]);
    spec.grey = c.grey;
    spec.cmyk = c.cmyk;
    spec.progressive = c.progressive;
    spec.dotsPerInch = c.dpi;
    std::vector<uint32_t> want;
    for (uint32_t p : spec.argb) want.push_back(c.grey ? 0xFF000000u | (p >> 8 & 0xFF) * 0x010101u : p);
    DecodedPicture out;
    ASSERT_EQ(decode(picturebytes::encode(spec), &out), PictureDecoder::OK);
    EXPECT_EQ(out.width, w);
    EXPECT_EQ(out.height, h);
    EXPECT_EQ(out.dpiX, c.dpi ? c.dpi : 96);
    EXPECT_TRUE(samePixels(out, want, 4));
  }
}

TEST(PictureDecoder, GifFirstFrameOnItsScreen) {
  using picturebytes::Gif;
  const std::vector<uint32_t> palette = {0xFF0000, 0x00FF00, 0x0000FF, 0x123456};
  struct Case {
    const char* name;
    bool interlaced;
    bool localPalette;
    int transparent;
    int left, top;
  } cases[] = {
      {"plain", false, false, -1, 0, 0},
      {"transparent", false, false, 1, 0, 0},
      {"interlaced", true, false, -1, 0, 0},
      {"local palette, placed inside the screen", true, true, 3, 2, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Gif spec;
    spec.width = 5;
    spec.height = 11;  // more than 8 rows: every interlace pass has rows
    spec.screenWidth = spec.width + c.left + 1;
    spec.screenHeight = spec.height + c.top;
    spec.left = c.left;
    spec.top = c.top;
    spec.palette = palette;
    spec.localPalette = c.localPalette;
    spec.transparent = c.transparent;
    spec.interlaced = c.interlaced;
    for (int y = 0; y < spec.height; ++y)
      for (int x = 0; x < spec.width; ++x) spec.indices.push_back(static_cast<uint8_t>((x + 3 * y) % 4));
    std::vector<uint32_t> want(spec.screenWidth * spec.screenHeight, 0u);
    for (int y = 0; y < spec.height; ++y)
      for (int x = 0; x < spec.width; ++x) {
        int i = spec.indices[y * spec.width + x];
        want[(y + c.top) * spec.screenWidth + x + c.left] = i == c.transparent ? 0 : 0xFF000000u | palette[i];
      }
    DecodedPicture out;
    ASSERT_EQ(decode(picturebytes::encode(spec), &out), PictureDecoder::OK);
    EXPECT_EQ(out.width, spec.screenWidth);
    EXPECT_EQ(out.height, spec.screenHeight);
    EXPECT_TRUE(samePixels(out, want, 0));
  }
}

TEST(PictureDecoder, RefusesBadBytes) {
  picturebytes::Png png;
  png.width = 16;
  png.height = 16;
  png.argb = testPixels(16, 16, true);
  std::string goodPng = picturebytes::encode(png);
  picturebytes::Jpeg jpeg;
  jpeg.width = jpeg.height = 16;
  jpeg.argb = testPixels(16, 16, false);
  std::string goodJpeg = picturebytes::encode(jpeg);
  picturebytes::Gif gif;
  gif.width = gif.height = gif.screenWidth = gif.screenHeight = 16;
  gif.palette = {0, 0xFFFFFF};
  gif.indices.assign(256, 1);
  std::string goodGif = picturebytes::encode(gif);

  std::string corruptPng = goodPng;
  corruptPng[corruptPng.find("IDAT") + 8] ^= 0x55;  // the compressed data no longer matches its checksum
  std::string corruptJpeg = goodJpeg;
  size_t dqt = corruptJpeg.find("\xFF\xDB");  // a quantisation table whose length cannot be
  corruptJpeg[dqt + 2] = 0;
  corruptJpeg[dqt + 3] = 1;
  // JPEG's size field in its frame header (SOF0 at 0xFFC0): height, then width.
  std::string hugeJpeg = goodJpeg;
  size_t sof = hugeJpeg.find("\xFF\xC0");
  hugeJpeg[sof + 5] = '\x13';  // height 0x1310 = 4880
  std::string hugeGif = goodGif;
  hugeGif[6] = '\x00';  // screen width 0x1400 = 5120
  hugeGif[7] = '\x14';

  struct Case {
    const char* name;
    std::string bytes;
    PictureDecoder::Result want;
  } cases[] = {
      {"empty", "", PictureDecoder::TOO_SHORT},
      {"seven bytes of a GIF", goodGif.substr(0, 7), PictureDecoder::TOO_SHORT},
      {"unrecognised", "BM this is not a picture at all", PictureDecoder::UNRECOGNISED},
      {"GIF signature only", "GIF89a\x01", PictureDecoder::TOO_SHORT},
      {"GIF signature and junk", std::string("GIF89a\x01\x00\x01\x00\x00\x00\x00", 13),
       PictureDecoder::CORRUPT},
      {"truncated PNG", goodPng.substr(0, goodPng.size() / 2), PictureDecoder::CORRUPT},
      {"PNG signature only", goodPng.substr(0, 8), PictureDecoder::CORRUPT},
      {"truncated JPEG", goodJpeg.substr(0, goodJpeg.size() / 2), PictureDecoder::CORRUPT},
      {"truncated GIF", goodGif.substr(0, goodGif.size() - 12), PictureDecoder::CORRUPT},
      {"corrupt PNG", corruptPng, PictureDecoder::CORRUPT},
      {"corrupt JPEG", corruptJpeg, PictureDecoder::CORRUPT},
      {"PNG wider than the limit", picturebytes::withPngSize(goodPng, 4097, 16), PictureDecoder::TOO_LARGE},
      {"PNG with too many pixels", picturebytes::withPngSize(goodPng, 3000, 3000), PictureDecoder::TOO_LARGE},
      {"JPEG taller than the limit", hugeJpeg, PictureDecoder::TOO_LARGE},
      {"GIF screen wider than the limit", hugeGif, PictureDecoder::TOO_LARGE},
  };
  for (const Case& c : cases) {
    DecodedPicture out;
    out.width = 99;
    EXPECT_EQ(decode(c.bytes, &out), c.want) << c.name;
    EXPECT_EQ(out.width, 0) << c.name;
    EXPECT_TRUE(out.pixels.empty()) << c.name;
  }
  DecodedPicture out;
  EXPECT_EQ(PictureDecoder::decode(nullptr, 100, &out), PictureDecoder::TOO_SHORT);
  for (const std::string* good : {&goodPng, &goodJpeg, &goodGif})
    EXPECT_EQ(decode(*good, &out), PictureDecoder::OK);
}

TEST(PictureDecoder, SizeLimits) {
  struct Case {
    long width, height;
    bool allowed;
  } cases[] = {{1, 1, true},     {4096, 1024, true},  {2048, 2048, true}, {4097, 1, false},
               {1, 4097, false}, {2049, 2048, false}, {0, 5, false},      {5, -1, false}};
  for (const Case& c : cases)
    EXPECT_EQ(PictureDecoder::sizeAllowed(c.width, c.height), c.allowed) << c.width << "x" << c.height;
}
