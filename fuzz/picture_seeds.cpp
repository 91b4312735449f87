// Writes the seed pictures of the picture fuzzer into the folder named by its argument: small
// PNGs, JPEGs and GIFs of each kind the decoders handle.
#include <cstdio>
#include <fstream>
#include <string>

#include "tests/vwt/PictureBytes.h"

namespace {
void save(const std::string& dir, const std::string& name, const std::string& bytes) {
  std::ofstream(dir + "/" + name, std::ios::binary) << bytes;
}

std::vector<uint32_t> gradient(int w, int h) {
  std::vector<uint32_t> p;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      p.push_back(uint32_t((x * 31 + y * 17) & 0xFF) << 24 | uint32_t(x * 20) << 16 | uint32_t(y * 20) << 8 |
                  0x40);
  return p;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
    return 2;
  }
  std::string dir = argv[1];
  struct PngKind {
    const char* name;
    int colourType, depth;
    bool interlaced;
  } pngs[] = {{"rgba.png", PNG_COLOR_TYPE_RGB_ALPHA, 8, false},
              {"palette.png", PNG_COLOR_TYPE_PALETTE, 8, false},
              {"grey16.png", PNG_COLOR_TYPE_GRAY, 16, false},
              {"interlaced.png", PNG_COLOR_TYPE_RGB, 8, true},
              {"rgba16.png", PNG_COLOR_TYPE_RGB_ALPHA, 16, true},
              {"greyalpha.png", PNG_COLOR_TYPE_GRAY_ALPHA, 8, false}};
  for (const PngKind& k : pngs) {
    picturebytes::Png spec;
    spec.width = 9;
    spec.height = 7;
    spec.argb = gradient(9, 7);
    spec.colourType = k.colourType;
    spec.depth = k.depth;
    spec.interlaced = k.interlaced;
    spec.pixelsPerMetre = 3780;
    save(dir, k.name, picturebytes::encode(spec));
  }
  struct JpegKind {
    const char* name;
    bool grey, progressive;
  } jpegs[] = {{"baseline.jpg", false, false}, {"progressive.jpg", false, true}, {"grey.jpg", true, false}};
  for (const JpegKind& k : jpegs) {
    picturebytes::Jpeg spec;
    spec.width = 17;
    spec.height = 9;
    spec.argb = gradient(17, 9);
    spec.grey = k.grey;
    spec.progressive = k.progressive;
    spec.dotsPerInch = 72;
    spec.quality = 50;
    save(dir, k.name, picturebytes::encode(spec));
  }
  struct GifKind {
    const char* name;
    bool interlaced, local;
    int transparent;
  } gifs[] = {{"plain.gif", false, false, -1},
              {"transparent.gif", false, false, 2},
              {"interlaced-local.gif", true, true, 1}};
  for (const GifKind& k : gifs) {
    picturebytes::Gif spec;
    spec.width = 6;
    spec.height = 10;
    spec.screenWidth = 8;
    spec.screenHeight = 12;
    spec.left = 1;
    spec.top = 2;
    spec.palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    for (int i = 0; i < 60; ++i) spec.indices.push_back(static_cast<uint8_t>(i * 7 % 4));
    spec.interlaced = k.interlaced;
    spec.localPalette = k.local;
    spec.transparent = k.transparent;
    save(dir, k.name, picturebytes::encode(spec));
  }
  return 0;
}
