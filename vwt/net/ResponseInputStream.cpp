#include "vwt/net/ResponseInputStream.h"

#include <cstring>

ResponseInputStream::ResponseInputStream(InputStream* source) : FilterInputStream(source) {}

int ResponseInputStream::available() {
  int held = static_cast<int>(heldEnd_ - held_);
  return held > 0 ? held : source_->available();
}

void ResponseInputStream::close() {
  held_ = heldEnd_ = nullptr;
  source_->close();
}

int ResponseInputStream::fill() {
  held_ = heldEnd_ = nullptr;
  int n = source_->read(buffer_, 0, BUF_SIZE);
  if (n < 0) return -1;
  // A source never reports more than it was asked for; trust no more.
  if (n > BUF_SIZE) n = BUF_SIZE;
  held_ = buffer_;
  heldEnd_ = buffer_ + n;
  return n;
}

int ResponseInputStream::read() {
  // A source may return 0 bytes; only -1 ends the stream.
  while (held_ == heldEnd_)
    if (fill() < 0) return -1;
  return static_cast<unsigned char>(*held_++);
}

int ResponseInputStream::read(char* buf, int off, int len) {
  if (!buf || off < 0 || len <= 0) return 0;
  if (held_ == heldEnd_) {
    if (len >= BUF_SIZE) return source_->read(buf, off, len);
    int n = fill();
    if (n <= 0) return n;
  }
  int n = static_cast<int>(heldEnd_ - held_);
  if (n > len) n = len;
  std::memcpy(buf + off, held_, n);
  held_ += n;
  return n;
}

int64_t ResponseInputStream::skip(int64_t n) {
  if (n <= 0) return 0;
  int64_t held = heldEnd_ - held_;
  if (n <= held) {
    held_ += n;
    return n;
  }
  held_ = heldEnd_ = nullptr;
  return held + source_->skip(n - held);
}
