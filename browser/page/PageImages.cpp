#include "browser/page/PageImages.h"

#include "vwt/io/ByteArrayInputStream.h"
#include "vwt/io/DataInputStream.h"
#include "vwt/lang/Exception.h"
#include "vwt/ui/Image.h"
#include "vwt/ui/ImagingImage.h"
#include "vwt/ui/MediaImage.h"
#include "vwt/ui/MediaManager.h"

int64_t PageImages::Decoded::cost() const {
  return image ? static_cast<int64_t>(image->getWidth()) * image->getHeight() * 3 : 0;
}

PageImages::PageImages() = default;

PageImages::~PageImages() = default;

bool PageImages::decode(const char* bytes, int length, bool withColour, Decoded* out) {
  out->image = nullptr;
  out->media = nullptr;
  if (!bytes || length <= 0) return false;
  try {
    int colour = 0;
    if (withColour) {
      DataInputStream in(new ByteArrayInputStream(bytes, 0, length));
      colour = in.readInt();
      out->media = MediaManager::getImage(&in);
    } else {
      // A copy: the page's bytes may be given back while the image is shown.
      out->media = new MediaImage(bytes, 0, length, true);
    }
    out->media->use();
    out->image = out->media->getImage();
    if (!out->image) throw Exception(String());
    if (withColour) out->image->setTransparentColor(colour);
    return true;
  } catch (const Exception&) {
    out->image = nullptr;
    out->media = nullptr;
    return false;
  }
}

void PageImages::clear() { slots_.clear(); }

void PageImages::reset(int count) {
  slots_.clear();
  slots_.resize(count > 0 ? count : 0);
}

void PageImages::put(int index, Decoded&& decoded) {
  if (index < 0) return;
  if (index >= getCount()) slots_.resize(index + 1);
  slots_[index] = std::move(decoded);
}

void PageImages::drop(int index) {
  if (index < 0 || index >= getCount()) return;
  slots_[index].image = nullptr;
  slots_[index].media = nullptr;
}

Image* PageImages::getImage(int index) const {
  return index >= 0 && index < getCount() ? slots_[index].image.get() : nullptr;
}

MediaImage* PageImages::getMediaImage(int index) const {
  return index >= 0 && index < getCount() ? slots_[index].media.get() : nullptr;
}
