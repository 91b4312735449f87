#pragma once

#include "vwt/lang/String.h"
#include "vwt/ui/Image.h"

class DecodedImage;

// An Image backed by a decoded picture, which draws itself with its own per-pixel alpha until it is
// given a key colour: then it is flattened once onto a bitmap of that colour and drawn colour-keyed
// from there on, trading alpha for fast blits.
class ImagingImage : public Image {
 public:
  // The source rectangle in the picture's 0.01 mm units, as the imaging component takes it.
  struct Himetric {
    int left, top, right, bottom;
  };

  // A new image over picture, which it takes in every case (deleted here when this throws). A picture
  // that reports no size throws -1600 with the result code.
  static ImagingImage* createImage(DecodedImage* picture);
  ~ImagingImage() override;

  bool isSupportAlpha() const override { return !converted_; }
  // The first call flattens the picture onto the key colour; the key is then the colour as the
  // bitmap stores it.
  void setTransparentColor(int rgb) override;
  using Image::setTransparentColor;
  void dispose() override;

  // Diagnostics: the name of a pixel-format code of the imaging component.
  static String getPixelFormatName(int format);
  // srcX * 2540 / dpiX and so on, in double precision, truncated.
  static Himetric toHimetric(int srcX, int srcY, int srcW, int srcH, int dpiX, int dpiY);

 protected:
  void draw(vwt::platform::Surface* context, int x, int y, int w, int h, int srcX, int srcY, int srcW,
            int srcH) override;
  void draw(vwt::platform::Surface* context, int x, int y, int w, int h) override;

 private:
  explicit ImagingImage(DecodedImage* picture) : picture_(picture) {}

  DecodedImage* picture_;  // owned
  bool converted_ = false;
};
