#include "vwt/io/BufferedInputStream.h"

#include <cstring>

BufferedInputStream::BufferedInputStream(InputStream* source)
    : FilterInputStream(source), pos_(0), count_(0) {}

int BufferedInputStream::available() { return count_ - pos_; }

void BufferedInputStream::close() {
  pos_ = count_ = 0;
  source_->close();
}

bool BufferedInputStream::fill() {
  pos_ = count_ = 0;
  int n = source_->read(buffer_, 0, BUF_SIZE);
  if (n < 0) return false;
  // A source never reports more than it was asked for; trust no more.
  count_ = n > BUF_SIZE ? BUF_SIZE : n;
  return true;
}

int BufferedInputStream::read() {
  // A source may return 0 bytes; only -1 ends the stream.
  while (pos_ >= count_)
    if (!fill()) return -1;
  return static_cast<unsigned char>(buffer_[pos_++]);
}

int BufferedInputStream::read(char* buf, int off, int len) {
  if (len <= 0) return 0;
  int copied = 0;
  for (;;) {
    int n = count_ - pos_;
    if (n > len - copied) n = len - copied;
    if (n > 0) {
      memcpy(buf + off + copied, buffer_ + pos_, n);
      pos_ += n;
      copied += n;
    }
    if (copied == len || !fill()) break;
  }
  return copied > 0 ? copied : -1;
}

int64_t BufferedInputStream::skip(int64_t n) {
  if (n <= 0) return 0;
  int64_t buffered = count_ - pos_;
  if (n <= buffered) {
    pos_ += static_cast<int>(n);
    return n;
  }
  pos_ = count_ = 0;
  return buffered + source_->skip(n - buffered);
}
