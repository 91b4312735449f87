#pragma once

#include <cstring>

#include "vwt/io/OutputStream.h"
#include "vwt/lang/VectorV.h"

// Collects the written bytes in memory; never fails.
class ByteArrayOutputStream : public OutputStream {
 public:
  ByteArrayOutputStream() : bytes_(16) {}

  using OutputStream::write;
  void write(int b) override { bytes_.addElement(static_cast<char>(b)); }
  void write(const char* buf, int off, int len) override {
    if (!buf || len <= 0) return;
    // Grown first, then one copy: the vector's own insert copies byte by byte.
    int at = bytes_.size();
    bytes_.setSize(at + len);
    memcpy(bytes_.data() + at, buf + off, len);
  }

  int size() const { return bytes_.size(); }
  // Empties the stream.
  void reset() { bytes_.clear(); }
  // The stream's own array, size() bytes and no terminator; valid until the
  // next write, reset or destruction.
  const char* toByteArray() const { return bytes_.data(); }

 private:
  VectorV<char> bytes_;
};
