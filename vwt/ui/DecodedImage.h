#pragma once

#include <memory>

#include "vwt/lang/Object.h"
#include "vwt/platform/DecodedPicture.h"

// A decoded picture as the imaging factory hands it out: its size, its resolution and its
// premultiplied ARGB pixels. The pixels never change once decoded, so several DecodedImages
// may share them (share()); each DecodedImage is owned by one holder.
class DecodedImage : public Object {
 public:
  struct ImageInfo {
    int width;
    int height;
    int dpiX;
    int dpiY;
  };

  // Takes the picture's pixels.
  explicit DecodedImage(vwt::platform::DecodedPicture&& picture);
  DecodedImage(const DecodedImage&) = delete;
  DecodedImage& operator=(const DecodedImage&) = delete;

  // 0 with the size and resolution, or -1 (nothing written) for a picture without pixels.
  int getImageInfo(ImageInfo* info) const;
  int getWidth() const { return picture_->width; }
  int getHeight() const { return picture_->height; }
  int getDpiX() const { return picture_->dpiX; }
  int getDpiY() const { return picture_->dpiY; }
  // width * height premultiplied pixels, rows `getWidth()` apart.
  const vwt::platform::DecodedPicture& getPicture() const { return *picture_; }

  // A new DecodedImage over the same pixels; the caller owns it.
  DecodedImage* share() const;

 private:
  explicit DecodedImage(std::shared_ptr<const vwt::platform::DecodedPicture> picture);

  // Shared between threads: a worker decodes, the interface thread draws.
  std::shared_ptr<const vwt::platform::DecodedPicture> picture_;
};
