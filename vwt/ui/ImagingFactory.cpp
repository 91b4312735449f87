#include "vwt/ui/ImagingFactory.h"

#include <utility>

#include "vwt/platform/PictureDecoder.h"
#include "vwt/ui/DecodedImage.h"

using vwt::platform::DecodedPicture;
using vwt::platform::PictureDecoder;

DecodedImage* ImagingFactory::createImageFromBuffer(const void* data, int length) const {
  if (!data || length <= 0) return nullptr;
  DecodedPicture picture;
  if (PictureDecoder::decode(static_cast<const unsigned char*>(data), static_cast<size_t>(length),
                             &picture) != PictureDecoder::OK)
    return nullptr;
  return new DecodedImage(std::move(picture));
}
