#pragma once

#include "vwt/lang/Object.h"

class DecodedImage;

// The application's picture decoder (Application::getImaging): makes decoded pictures from
// encoded PNG, JPEG or GIF bytes in memory. Safe to use from several threads.
class ImagingFactory : public Object {
 public:
  // A decoded picture, owned by the caller, or null when the bytes cannot be decoded (including a
  // picture larger than the decoder's limits). The bytes are only read during the call.
  DecodedImage* createImageFromBuffer(const void* data, int length) const;
};
