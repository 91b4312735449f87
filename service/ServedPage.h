#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "service/PageModel.h"

namespace vesk {

// What a page response promised: the page's image data cut into "c=I" blocks and its
// embedded files, kept so the follow-up requests can be answered from the same snapshot.
class ServedPage {
 public:
  // transparentColours: the handset asked for "tc" (an int32 colour precedes each image).
  ServedPage(const Page& page, bool transparentColours, size_t blockSize);

  const std::vector<int32_t>& imageSizes() const { return sizes_; }
  int32_t imageBytesTotal() const { return static_cast<int32_t>(data_.size()); }
  // The blocks the envelope announces: the real count unless overstated.
  int32_t blockCount() const;
  // Test behaviour: announce `blocks` image blocks, or declare `bytes` as the size of the
  // first embedded file (-1 leaves either honest).
  void overstate(int32_t blocks, int32_t bytes);
  // Bytes of block b; empty when b is out of range.
  std::string block(long long b) const;
  int32_t fileCount() const { return static_cast<int32_t>(files_.size()); }
  // The "c=F" body after the magic: count, then label, name, size and data of each file,
  // then the parameter data of the last one.
  std::string filesBody() const;

 private:
  std::string data_;
  std::vector<int32_t> sizes_;
  size_t blockSize_;
  std::vector<EmbeddedFile> files_;
  std::string params_;
  int32_t announcedBlocks_ = -1;
  int32_t firstFileSize_ = -1;
};

}  // namespace vesk
