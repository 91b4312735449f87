#pragma once
// The per-format decoders behind PictureDecoder, and what they share.

#include <cstddef>
#include <cstdint>

#include "vwt/platform/PictureDecoder.h"

namespace vwt {
namespace platform {
namespace codecs {

PictureDecoder::Result decodePng(const unsigned char* data, size_t length, DecodedPicture* out);
PictureDecoder::Result decodeJpeg(const unsigned char* data, size_t length, DecodedPicture* out);
PictureDecoder::Result decodeGif(const unsigned char* data, size_t length, DecodedPicture* out);

// Sizes `out` for width x height pixels, once the size passed the limits; the pixels hold no
// particular values. False when the memory is not there; never throws, so it may run between
// setjmp and longjmp.
bool allocatePixels(DecodedPicture* out, int width, int height) noexcept;

inline uint32_t premultiplied(uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
  if (a == 255) return 0xFF000000u | r << 16 | g << 8 | b;
  if (a == 0) return 0;
  // x * a / 255, rounded, without a division.
  auto mul = [a](uint32_t x) {
    uint32_t t = x * a + 128;
    return (t + (t >> 8)) >> 8;
  };
  return a << 24 | mul(r) << 16 | mul(g) << 8 | mul(b);
}

// Pixels per inch from a count per metre, as PNG's pHYs states it.
inline int dpiFromPerMetre(uint32_t perMetre) {
  uint64_t dpi = (static_cast<uint64_t>(perMetre) * 254 + 5000) / 10000;
  return dpi > 0 && dpi < 100000 ? static_cast<int>(dpi) : 96;
}

}  // namespace codecs
}  // namespace platform
}  // namespace vwt
