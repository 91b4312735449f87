#pragma once

#include "vwt/lang/Object.h"
#include "vwt/lang/String.h"

class DecodedImage;
class ImagingImage;
class InputStream;

// An encoded picture (PNG, JPEG or GIF): its bytes, copied or borrowed, the format its signature
// shows, and the decoded picture while it is in use.
class MediaImage : public Object {
 public:
  enum Type { UNKNOWN = 0, PNG = 1, JPEG = 2, GIF = 3 };

  // The largest encoded picture read from a stream; more throws -1701.
  static const int MAX_STREAM_BYTES = 16 * 1024 * 1024;

  // With `copy` the bytes data[offset..offset+length) are copied; without it they are borrowed and
  // the caller keeps them alive as long as this object. A negative offset or length reads as no
  // bytes.
  MediaImage(const char* data, int offset, int length, bool copy);
  // Reads the stream to its end and keeps a copy of the bytes; the caller keeps the stream. -1701
  // when it holds more than MAX_STREAM_BYTES; the stream's own failures propagate.
  explicit MediaImage(InputStream* in);
  ~MediaImage() override;
  MediaImage(const MediaImage&) = delete;
  MediaImage& operator=(const MediaImage&) = delete;

  // Decodes the bytes: -1700 for fewer than 8 bytes, -1701 when they cannot be decoded (or the
  // picture is larger than the decoder allows), -1200 when the application has no picture decoder.
  void use();
  // Drops the decoded picture; the bytes stay, and use() may decode them again.
  void unuse();
  bool isUsed() const { return decoded_ != nullptr; }
  // A new image over the decoded picture, owned by the caller; null before use().
  ImagingImage* getImage() const;
  // A new handle on the decoded pixels, owned by the caller; null before use().
  DecodedImage* getDecodedImage() const;

  // The copied bytes (null for a borrowing image) and the length.
  void getNativeBuffer(char** data, int* length) const;
  // The bytes, copied or borrowed.
  const char* getBytes() const { return ownsBuffer_ ? ownedBuffer_ : borrowedBuffer_; }
  int getLength() const { return length_; }
  int getType() const { return type_; }
  // ".png", ".jpg", ".gif", or empty for an unknown type.
  String getImageTypeAsString() const;

  // Frees the decoded picture and the copy; the object is then empty.
  void dispose();

  // The format a buffer's first bytes show; a signature longer than the buffer does not match.
  static Type recognise(const char* data, int length);

 private:
  void adopt(char* bytes, int length);

  int type_ = UNKNOWN;
  char* ownedBuffer_ = nullptr;           // owned
  const char* borrowedBuffer_ = nullptr;  // the caller's
  int length_ = 0;
  bool ownsBuffer_ = false;
  DecodedImage* decoded_ = nullptr;  // owned
};
