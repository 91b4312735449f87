#pragma once

#include <cstddef>

#include "vwt/platform/DecodedPicture.h"

namespace vwt {
namespace platform {

// Decodes PNG, JPEG and GIF (its first frame) from memory. The size a header declares is checked
// against a handset's limits before any pixel is allocated.
class PictureDecoder {
 public:
  enum Result { OK = 0, TOO_SHORT, UNRECOGNISED, CORRUPT, TOO_LARGE };

  // A side longer than MAX_SIDE, or more than MAX_PIXELS pixels (16 MiB of ARGB), is TOO_LARGE.
  static const int MAX_SIDE = 4096;
  static const int MAX_PIXELS = 2048 * 2048;

  // Never throws. `out` is left empty unless the result is OK. TOO_SHORT: fewer bytes than a
  // signature; UNRECOGNISED: no known signature; CORRUPT: bad or truncated data.
  static Result decode(const unsigned char* data, size_t length, DecodedPicture* out);

  // Whether a declared size passes the limits.
  static bool sizeAllowed(long width, long height);
};

}  // namespace platform
}  // namespace vwt
