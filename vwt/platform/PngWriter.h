#pragma once

#include <string>

#include "vwt/platform/PixelTarget.h"

namespace vwt {
namespace platform {

// Writes the pixels as an opaque 8-bit RGB PNG; false (and no file left behind) when it cannot.
bool writePng(const std::string& path, const PixelTarget& pixels);

}  // namespace platform
}  // namespace vwt
