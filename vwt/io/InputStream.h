#pragma once

#include <cstdint>

#include "vwt/lang/Object.h"

// A source of bytes. Subclasses provide read(buf, off, len).
class InputStream : public Object {
 public:
  // Bytes that can be read without blocking.
  virtual int available() { return 0; }
  virtual void close() {}
  virtual void mark(int) {}
  virtual bool markSupported() { return false; }
  // One byte as 0-255, or -1 at the end.
  virtual int read();
  // At least one byte into buf[off..off+len), or -1 at the end.
  virtual int read(char* buf, int off, int len) = 0;
  // Reads and drops up to n bytes; returns how many were skipped.
  virtual int64_t skip(int64_t n);
};
