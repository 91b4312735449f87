#pragma once

#include <cstdint>
#include <vector>

#include "vwt/lang/AutoPtr.h"
#include "vwt/ui/Image.h"
#include "vwt/ui/MediaImage.h"

// The decoded images of the page on screen: one slot per image of the page,
// each the media image and the image drawn from it, or empty. Not locked:
// the session core guards it with its page lock, and decodes outside it.
class PageImages {
 public:
  // One decoded image record, not yet in a slot.
  struct Decoded {
    AutoPtr<MediaImage> media;
    AutoPtr<Image> image;
    // Counted against the page's image memory: 3 bytes a pixel.
    int64_t cost() const;
  };

  PageImages();
  ~PageImages();
  PageImages(const PageImages&) = delete;
  PageImages& operator=(const PageImages&) = delete;

  // Decodes an image record: with withColour an int32 transparent colour
  // and then the picture, otherwise the picture's bytes alone. False when
  // they do not decode; out is then left empty.
  static bool decode(const char* bytes, int length, bool withColour, Decoded* out);

  // Drops every slot.
  void clear();
  // count empty slots, the old ones dropped.
  void reset(int count);
  int getCount() const { return static_cast<int>(slots_.size()); }
  // Puts a decoded image in slot index (slots are added up to it).
  void put(int index, Decoded&& decoded);
  void drop(int index);
  // The image of slot index, or null.
  Image* getImage(int index) const;
  MediaImage* getMediaImage(int index) const;

 private:
  std::vector<Decoded> slots_;
};
