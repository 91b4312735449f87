#include "vwt/platform/PictureDecoder.h"

#include <cstring>
#include <new>

#include "vwt/platform/PictureCodecs.h"

namespace vwt {
namespace platform {

namespace codecs {
bool allocatePixels(DecodedPicture* out, int width, int height) noexcept {
  try {
    // PNG and JPEG write every pixel; GIF clears what its frame may not cover.
    out->pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
  } catch (const std::bad_alloc&) {
    return false;
  }
  out->width = width;
  out->height = height;
  return true;
}
}  // namespace codecs

bool PictureDecoder::sizeAllowed(long width, long height) {
  return width > 0 && height > 0 && width <= MAX_SIDE && height <= MAX_SIDE &&
         width * height <= static_cast<long>(MAX_PIXELS);
}

PictureDecoder::Result PictureDecoder::decode(const unsigned char* data, size_t length, DecodedPicture* out) {
  // The pixels' memory stays for a caller that decodes picture after picture into one object.
  out->width = out->height = 0;
  out->dpiX = out->dpiY = 96;
  if (!data || length < 8) return TOO_SHORT;
  static const unsigned char PNG[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  Result result;
  if (std::memcmp(data, PNG, 8) == 0)
    result = codecs::decodePng(data, length, out);
  else if (std::memcmp(data, "GIF", 3) == 0)
    result = codecs::decodeGif(data, length, out);
  else if (data[0] == 0xFF && data[1] == 0xD8)
    result = codecs::decodeJpeg(data, length, out);
  else
    result = UNRECOGNISED;
  if (result != OK) *out = DecodedPicture();  // nothing kept from a failure
  return result;
}

}  // namespace platform
}  // namespace vwt
