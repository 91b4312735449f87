#pragma once

#include <cstdint>

#include "vwt/lang/Object.h"

// A source of UTF-16 characters. Subclasses provide read(buf, off, len).
class Reader : public Object {
 public:
  // One character, or -1 at the end.
  virtual int read();
  // Up to len characters into buf[off..]; the count, 0 or -1 at the end.
  virtual int read(char16_t* buf, int off, int len) = 0;
  // Whether a read would not block.
  virtual bool ready() const { return false; }
  // Reads and drops up to n characters; returns how many were dropped.
  virtual int64_t skip(int64_t n);
  virtual void close() {}
};
