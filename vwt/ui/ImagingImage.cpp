#include "vwt/ui/ImagingImage.h"

#include <cmath>

#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"
#include "vwt/platform/RasterBlits.h"
#include "vwt/platform/Surface.h"
#include "vwt/ui/DecodedImage.h"
#include "vwt/ui/Graphics.h"

namespace {

const double HIMETRIC_PER_INCH = 2540.0;

int dpiOr96(int dpi) { return dpi > 0 ? dpi : 96; }

// Back from 0.01 mm to pixels, to the nearest pixel: the truncation on the way in must not lose one.
int toPixels(int himetric, int dpi) {
  return static_cast<int>(std::lround(himetric * double(dpi) / HIMETRIC_PER_INCH));
}

vwt::platform::PixelTarget pixelsOf(const DecodedImage& image) {
  const vwt::platform::DecodedPicture& p = image.getPicture();
  vwt::platform::PixelTarget t;
  // Only read: compositing takes a writable pointer for both ends.
  t.pixels = const_cast<uint32_t*>(p.pixels.data());
  t.stride = p.width;
  t.width = p.width;
  t.height = p.height;
  return t;
}

}  // namespace

ImagingImage* ImagingImage::createImage(DecodedImage* picture) {
  DecodedImage::ImageInfo info{};
  const int result = picture != nullptr ? picture->getImageInfo(&info) : -1;
  if (result != 0 || info.width < 0 || info.height < 0 ||
      picture->getPicture().pixels.size() !=
          static_cast<size_t>(info.width) * static_cast<size_t>(info.height)) {
    delete picture;
    throw Exception(Resource::getString(-1600), static_cast<uint64_t>(static_cast<int64_t>(result)));
  }
  ImagingImage* image = new ImagingImage(picture);
  image->width_ = info.width;
  image->height_ = info.height;
  return image;
}

ImagingImage::~ImagingImage() { ImagingImage::dispose(); }

void ImagingImage::dispose() {
  delete picture_;
  picture_ = nullptr;
  Image::dispose();
}

ImagingImage::Himetric ImagingImage::toHimetric(int srcX, int srcY, int srcW, int srcH, int dpiX, int dpiY) {
  dpiX = dpiOr96(dpiX);
  dpiY = dpiOr96(dpiY);
  Himetric h;
  h.left = static_cast<int>(srcX * HIMETRIC_PER_INCH / dpiX);
  h.top = static_cast<int>(srcY * HIMETRIC_PER_INCH / dpiY);
  h.right = h.left + static_cast<int>(srcW * HIMETRIC_PER_INCH / dpiX);
  h.bottom = h.top + static_cast<int>(srcH * HIMETRIC_PER_INCH / dpiY);
  return h;
}

void ImagingImage::draw(vwt::platform::Surface* context, int x, int y, int w, int h, int srcX, int srcY,
                        int srcW, int srcH) {
  if (picture_ == nullptr || context == nullptr) return;
  const int dpiX = dpiOr96(picture_->getDpiX()), dpiY = dpiOr96(picture_->getDpiY());
  const Himetric r = toHimetric(srcX, srcY, srcW, srcH, dpiX, dpiY);
  const int left = toPixels(r.left, dpiX), top = toPixels(r.top, dpiY);
  vwt::platform::composite(*context, x, y, w, h, pixelsOf(*picture_), left, top,
                           toPixels(r.right, dpiX) - left, toPixels(r.bottom, dpiY) - top);
}

void ImagingImage::draw(vwt::platform::Surface* context, int x, int y, int w, int h) {
  if (picture_ == nullptr || context == nullptr) return;
  vwt::platform::composite(*context, x, y, w, h, pixelsOf(*picture_), 0, 0, picture_->getWidth(),
                           picture_->getHeight());
}

void ImagingImage::setTransparentColor(int rgb) {
  if (converted_) {
    transparentColor_ = rgb;
    return;
  }
  createBitmap(width_, height_, rgb);
  // The key is the colour as the bitmap holds it, so that the flattened background matches it exactly.
  const int stored = width_ > 0 && height_ > 0 ? getGraphics()->getRGBPixel(0, 0) : (rgb & 0x00FFFFFF);
  draw(getSurface(), 0, 0, width_, height_);
  converted_ = true;
  transparentColor_ = stored;
}

String ImagingImage::getPixelFormatName(int format) {
  switch (format) {
    case 0x21005:
      return u"PixelFormat16bppRGB555"_s;
    case 0x21006:
      return u"PixelFormat16bppRGB565"_s;
    case 0x21808:
      return u"PixelFormat24bppRGB"_s;
    case 0x22009:
      return u"PixelFormat32bppRGB"_s;
    case 0x30101:
      return u"PixelFormat1bppIndexed"_s;
    case 0x30402:
      return u"PixelFormat4bppIndexed"_s;
    case 0x30803:
      return u"PixelFormat8bppGrayScale"_s;
    case 0x61007:
      return u"PixelFormat16bppARGB1555"_s;
    case 0xE200B:
      return u"PixelFormat32bppPARGB"_s;
    case 0x10300C:
      return u"PixelFormat48bppRGB"_s;
    case 0x1C400E:
      return u"PixelFormat64bppPARGB"_s;
    case 0x26200A:
      return u"PixelFormat32bppARGB"_s;
    case 0x34400D:
      return u"PixelFormat64bppARGB"_s;
    default:
      return u"PixelFormatUnknown"_s;
  }
}
