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

  // Takes n bytes the stream already holds in memory, without a virtual
  // call; null when it holds fewer (read() then fetches more). The bytes
  // stay valid until the stream is next read or closed.
  const char* takeHeld(int n) {
    if (heldEnd_ - held_ < n) return nullptr;
    const char* p = held_;
    held_ += n;
    return p;
  }

 protected:
  // A buffering subclass keeps the bytes it holds but has not delivered in
  // [held_, heldEnd_); its read() delivers them first.
  const char* held_ = nullptr;
  const char* heldEnd_ = nullptr;
};
