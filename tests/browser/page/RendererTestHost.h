#pragma once
// A renderer host for tests: a page, decoded images by index, an icon strip
// and the canvas settings, all set by the test.

#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

#include "browser/page/Page.h"
#include "browser/page/RendererHost.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Vector.h"
#include "vwt/platform/PngWriter.h"
#include "vwt/platform/Surface.h"
#include "vwt/ui/DecodedImage.h"
#include "vwt/ui/Graphics.h"
#include "vwt/ui/Image.h"
#include "vwt/ui/ImagingFactory.h"
#include "vwt/ui/ImagingImage.h"

class RendererTestHost : public RendererHost {
 public:
  RendererTestHost() : images(true) {}

  std::mutex& pageLock() override { return lock; }
  Page* shownPage() override { return page; }
  Image* pageImage(int index) override {
    return index >= 0 && index < images.size() ? images.elementAt(index) : nullptr;
  }
  ReflowLayout* reflowLayout() override { return layout; }
  Image* iconStrip() override { return strip.get(); }
  int canvasFlags() override { return flags; }
  bool isTranslucent() override { return translucent; }
  int paletteSet() override { return palette; }
  bool moviePlaybackOn() override { return movies; }
  bool placeMovie(const String& path, int, int, int, int) override {
    placed.push_back(path);
    return true;
  }

  // A decoded picture of bytes, or null when they do not decode.
  static Image* decode(const char* bytes, int length) {
    ImagingFactory imaging;
    DecodedImage* decoded = imaging.createImageFromBuffer(bytes, length);
    if (!decoded) return nullptr;
    try {
      return ImagingImage::createImage(decoded);
    } catch (const Exception&) {
      return nullptr;
    }
  }
  // Decodes the page's image bytes into images (null where they do not decode).
  void decodePageImages() {
    images.clear();
    if (!page || !page->images) return;
    for (int i = 0; i < page->images->size(); ++i) {
      VectorV<char>* bytes = page->images->elementAt(i);
      images.addElement(bytes && bytes->size() > 0 ? decode(bytes->data(), bytes->size()) : nullptr);
    }
  }
  void loadIconStrip(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    strip = decode(bytes.data(), static_cast<int>(bytes.size()));
    if (strip) strip->setTransparentColor(0xFF00FF);
  }
  // A plain image of one colour.
  void setImage(int index, int width, int height, int rgb) {
    while (images.size() <= index) images.addElement(nullptr);
    delete images.elementAt(index);
    images.setElementAt(Image::createImage(width, height, rgb), index);
  }

  std::mutex lock;
  Page* page = nullptr;            // not owned
  ReflowLayout* layout = nullptr;  // not owned
  Vector<Image*> images;
  AutoPtr<Image> strip;
  int flags = 0;
  bool translucent = false;
  int palette = 0;
  bool movies = false;
  std::vector<String> placed;
};

namespace rendertest {

inline int pixel(Image* image, int x, int y) { return image->getGraphics()->getRGBPixel(x, y) & 0xFFFFFF; }

inline bool writePng(Image* image, const std::string& path) {
  return vwt::platform::writePng(path, image->getSurface()->target());
}

}  // namespace rendertest
