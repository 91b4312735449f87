#include "vwt/ui/MediaImage.h"

#include <cstring>
#include <vector>

#include "vwt/io/InputStream.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"
#include "vwt/ui/Application.h"
#include "vwt/ui/DecodedImage.h"
#include "vwt/ui/ImagingFactory.h"
#include "vwt/ui/ImagingImage.h"

MediaImage::MediaImage(const char* data, int offset, int length, bool copy) {
  if (!data || offset < 0 || length <= 0) return;
  if (copy) {
    char* bytes = new char[length];
    std::memcpy(bytes, data + offset, static_cast<size_t>(length));
    adopt(bytes, length);
  } else {
    borrowedBuffer_ = data + offset;
    length_ = length;
    type_ = recognise(borrowedBuffer_, length_);
  }
}

MediaImage::MediaImage(InputStream* in) {
  std::vector<char> bytes;
  char chunk[4096];
  for (;;) {
    int n = in->read(chunk, 0, sizeof chunk);
    if (n <= 0) break;
    if (static_cast<int>(bytes.size()) > MAX_STREAM_BYTES - n) throw Exception(Resource::getString(-1701));
    bytes.insert(bytes.end(), chunk, chunk + n);
  }
  if (bytes.empty()) return;
  char* copy = new char[bytes.size()];
  std::memcpy(copy, bytes.data(), bytes.size());
  adopt(copy, static_cast<int>(bytes.size()));
}

MediaImage::~MediaImage() { dispose(); }

void MediaImage::adopt(char* bytes, int length) {
  ownedBuffer_ = bytes;
  ownsBuffer_ = true;
  length_ = length;
  type_ = recognise(bytes, length);
}

MediaImage::Type MediaImage::recognise(const char* data, int length) {
  static const unsigned char PNG_SIGNATURE[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  const unsigned char* b = reinterpret_cast<const unsigned char*>(data);
  if (!data || length <= 0) return UNKNOWN;
  if (length >= 8 && std::memcmp(b, PNG_SIGNATURE, 8) == 0) return PNG;
  if (length >= 3 && std::memcmp(b, "GIF", 3) == 0) return GIF;
  if (length >= 2 && b[0] == 0xFF && b[1] == 0xD8) return JPEG;
  return UNKNOWN;
}

void MediaImage::use() {
  if (length_ < 8) throw Exception(Resource::getString(-1700));
  Application* app = Application::getCurrentApp();
  ImagingFactory* imaging = app ? app->getImaging() : nullptr;
  if (!imaging) throw Exception(Resource::getString(-1200));
  DecodedImage* decoded = imaging->createImageFromBuffer(getBytes(), length_);
  if (!decoded) throw Exception(Resource::getString(-1701));
  delete decoded_;
  decoded_ = decoded;
}

void MediaImage::unuse() {
  delete decoded_;
  decoded_ = nullptr;
}

ImagingImage* MediaImage::getImage() const {
  // The image takes its handle on the pixels even when it throws.
  return decoded_ ? ImagingImage::createImage(decoded_->share()) : nullptr;
}

DecodedImage* MediaImage::getDecodedImage() const { return decoded_ ? decoded_->share() : nullptr; }

void MediaImage::getNativeBuffer(char** data, int* length) const {
  *data = ownsBuffer_ ? ownedBuffer_ : nullptr;
  *length = length_;
}

String MediaImage::getImageTypeAsString() const {
  switch (type_) {
    case PNG:
      return u".png"_s;
    case JPEG:
      return u".jpg"_s;
    case GIF:
      return u".gif"_s;
    default:
      return String::null;
  }
}

void MediaImage::dispose() {
  unuse();
  delete[] ownedBuffer_;
  ownedBuffer_ = nullptr;
  borrowedBuffer_ = nullptr;
  length_ = 0;
  ownsBuffer_ = false;
  type_ = UNKNOWN;
}
