#pragma once

#include "vwt/io/InputStream.h"

// Reads buf[offset..offset+length). The bytes are borrowed: the caller
// keeps them alive and unchanged while the stream is used.
class ByteArrayInputStream : public InputStream {
 public:
  ByteArrayInputStream(const char* buf, int offset, int length);

  int available() override { return end_ - pos_; }
  // Drops the buffer; the stream is then at its end.
  void close() override;
  int read() override;
  int read(char* buf, int off, int len) override;
  int64_t skip(int64_t n) override;

 private:
  const char* buf_;
  int pos_;
  int end_;
};
