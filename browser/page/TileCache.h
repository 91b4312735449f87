#pragma once

#include "vwt/lang/Vector.h"
#include "vwt/ui/Image.h"

// Pre-tiled copies of small page images for TILED_IMAGE: an image narrower
// or lower than MIN_SIDE is copied once into an image whose sides are
// doubled until each is at least MIN_SIDE, so that tiling draws few large
// tiles instead of many small ones. Copies are kept by image index and
// owned by the cache.
class TileCache {
 public:
  static constexpr int MIN_SIDE = 64;
  // Indexes past this are drawn without a copy rather than grow the table.
  static constexpr int MAX_INDEX = 4096;

  TileCache() = default;
  TileCache(const TileCache&) = delete;
  TileCache& operator=(const TileCache&) = delete;

  // The image to tile with for image index: the cached copy, a new copy
  // when the image is small, or the image itself. Null for a null image.
  Image* tileFor(int index, Image* image);
  // Drops every copy (a new page, or its images cleared).
  void clear() { copies_.clear(); }
  int size() const { return copies_.size(); }

  // A new copy of image with both sides doubled up to at least MIN_SIDE, or
  // null when the image has no size.
  static Image* makeTiled(Image* image);

 private:
  Vector<Image*> copies_;  // by image index; null where none is made
};
