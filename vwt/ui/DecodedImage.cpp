#include "vwt/ui/DecodedImage.h"

#include <utility>

DecodedImage::DecodedImage(vwt::platform::DecodedPicture&& picture)
    : picture_(std::make_shared<const vwt::platform::DecodedPicture>(std::move(picture))) {}

DecodedImage::DecodedImage(std::shared_ptr<const vwt::platform::DecodedPicture> picture)
    : picture_(std::move(picture)) {}

int DecodedImage::getImageInfo(ImageInfo* info) const {
  if (picture_->width <= 0 || picture_->height <= 0) return -1;
  info->width = picture_->width;
  info->height = picture_->height;
  info->dpiX = picture_->dpiX;
  info->dpiY = picture_->dpiY;
  return 0;
}

DecodedImage* DecodedImage::share() const { return new DecodedImage(picture_); }
