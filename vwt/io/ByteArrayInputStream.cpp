#include "vwt/io/ByteArrayInputStream.h"

#include <cstring>

ByteArrayInputStream::ByteArrayInputStream(const char* buf, int offset, int length)
    : buf_(buf), pos_(0), end_(0) {
  if (buf && offset >= 0 && length > 0) {
    pos_ = offset;
    end_ = length > INT32_MAX - offset ? INT32_MAX : offset + length;
  }
}

void ByteArrayInputStream::close() {
  buf_ = nullptr;
  pos_ = end_ = 0;
}

int ByteArrayInputStream::read() {
  if (pos_ >= end_) return -1;
  return static_cast<unsigned char>(buf_[pos_++]);
}

int ByteArrayInputStream::read(char* buf, int off, int len) {
  int n = end_ - pos_;
  if (n <= 0) return -1;
  if (len <= 0) return 0;
  if (n > len) n = len;
  memcpy(buf + off, buf_ + pos_, n);
  pos_ += n;
  return n;
}

int64_t ByteArrayInputStream::skip(int64_t n) {
  if (n <= 0) return 0;
  int64_t remaining = end_ - pos_;
  if (n > remaining) n = remaining;
  pos_ += static_cast<int>(n);
  return n;
}
