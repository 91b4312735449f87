// Feeds bytes to the picture decoders, directly and through MediaImage as the browser does.
// A refusal is a clean result; a crash, overrun, leak or a picture that breaks its own rules is a
// finding.
#include <cstddef>
#include <cstdint>

#include "vwt/lang/Exception.h"
#include "vwt/platform/PictureDecoder.h"
#include "vwt/ui/Application.h"
#include "vwt/ui/MediaImage.h"

using vwt::platform::DecodedPicture;
using vwt::platform::PictureDecoder;

namespace {
// Premultiplied pixels never have a colour channel above their alpha.
bool premultipliedOk(uint32_t p) {
  uint32_t a = p >> 24;
  return (p >> 16 & 0xFF) <= a && (p >> 8 & 0xFF) <= a && (p & 0xFF) <= a;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Application* app = [] {
    Application* a = new Application();  // lives as long as the process
    a->initialize(Application::INIT_IMAGING);
    return a;
  }();
  (void)app;
  if (size > (1 << 20)) return 0;

  DecodedPicture picture;
  PictureDecoder::Result result = PictureDecoder::decode(data, size, &picture);
  if (result == PictureDecoder::OK) {
    if (!PictureDecoder::sizeAllowed(picture.width, picture.height)) __builtin_trap();
    if (picture.pixels.size() != static_cast<size_t>(picture.width) * picture.height) __builtin_trap();
    for (uint32_t p : picture.pixels)
      if (!premultipliedOk(p)) __builtin_trap();
  } else if (picture.width != 0 || !picture.pixels.empty()) {
    __builtin_trap();
  }

  MediaImage image(reinterpret_cast<const char*>(data), 0, static_cast<int>(size), false);
  try {
    image.use();
    if (result != PictureDecoder::OK) __builtin_trap();
  } catch (const Exception&) {
    if (result == PictureDecoder::OK) __builtin_trap();
  }
  return 0;
}
