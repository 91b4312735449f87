#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vesk {

// The picture formats the handset decodes (PNG, JPEG, GIF): their size from the header, a decode to
// RGBA, scaling, and PNG encoding of a scaled copy.
class PictureCodec {
 public:
  // Larger pictures are not decoded (a JPEG is decoded at a reduced scale instead).
  static constexpr int MAX_SIDE = 4096;
  static constexpr int64_t MAX_PIXELS = 4 * 1024 * 1024;

  enum Format { UNKNOWN, PNG, JPEG, GIF };

  struct Pixels {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;
  };

  static Format sniff(const std::string& bytes);
  // Width and height as the header declares them; false when they cannot be read.
  static bool probe(const std::string& bytes, int& width, int& height);
  // Decodes the picture (the first frame of a GIF); a JPEG whose declared size exceeds the limits,
  // or maxWidth x maxHeight, is decoded at 1/2, 1/4 or 1/8. False for anything it cannot decode.
  static bool decode(const std::string& bytes, Pixels& out, int maxWidth = MAX_SIDE,
                     int maxHeight = MAX_SIDE);
  // Area-averaged scaling to width x height (each at least 1).
  static Pixels scale(const Pixels& in, int width, int height);
  static std::string encodePng(const Pixels& pixels);
};

}  // namespace vesk
