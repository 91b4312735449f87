#include "vwt/io/BufferedOutputStream.h"

#include <cstring>

BufferedOutputStream::BufferedOutputStream(OutputStream* sink) : FilterOutputStream(sink), count_(0) {}

void BufferedOutputStream::drain() {
  if (count_ == 0) return;
  sink_->write(buffer_, 0, count_);
  count_ = 0;
}

void BufferedOutputStream::write(int b) {
  if (count_ == BUF_SIZE) drain();
  buffer_[count_++] = static_cast<char>(b);
}

void BufferedOutputStream::write(const char* buf, int off, int len) {
  if (len <= 0) return;
  const char* p = buf + off;
  while (count_ + len > BUF_SIZE) {
    int part = BUF_SIZE - count_;
    memcpy(buffer_ + count_, p, part);
    count_ = BUF_SIZE;
    drain();
    p += part;
    len -= part;
  }
  memcpy(buffer_ + count_, p, len);
  count_ += len;
}

void BufferedOutputStream::flush() {
  drain();
  sink_->flush();
}

void BufferedOutputStream::close() {
  flush();
  sink_->close();
}
