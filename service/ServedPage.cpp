#include "service/ServedPage.h"

#include "service/DataWriter.h"

namespace vesk {

ServedPage::ServedPage(const Page& page, bool tc, size_t blockSize)
    : blockSize_(blockSize ? blockSize : 1), files_(page.files), params_(page.fileParams) {
  DataWriter w;
  for (const auto& img : page.images) {
    size_t before = w.size();
    if (tc) w.writeInt(img.transparent);
    w.writeBytes(img.bytes);
    sizes_.push_back(static_cast<int32_t>(w.size() - before));
  }
  data_ = w.take();
}

int32_t ServedPage::blockCount() const {
  if (announcedBlocks_ >= 0) return announcedBlocks_;
  return static_cast<int32_t>((data_.size() + blockSize_ - 1) / blockSize_);
}

void ServedPage::overstate(int32_t blocks, int32_t bytes) {
  announcedBlocks_ = blocks;
  firstFileSize_ = bytes;
}

std::string ServedPage::block(long long b) const {
  if (b < 0 || static_cast<unsigned long long>(b) * blockSize_ >= data_.size()) return std::string();
  return data_.substr(static_cast<size_t>(b) * blockSize_, blockSize_);
}

std::string ServedPage::filesBody() const {
  DataWriter w;
  w.writeInt(fileCount());
  for (const auto& f : files_) {
    w.writeUTF(f.label);
    w.writeUTF(f.name);
    bool first = &f == &files_.front();
    w.writeInt(first && firstFileSize_ >= 0 ? firstFileSize_ : static_cast<int32_t>(f.data.size()));
    w.writeBytes(f.data);
  }
  if (!files_.empty()) w.writeBytes(params_);
  return w.take();
}

}  // namespace vesk
