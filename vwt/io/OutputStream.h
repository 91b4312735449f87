#pragma once

#include "vwt/lang/Object.h"

// A sink of bytes. Subclasses provide write(buf, off, len).
class OutputStream : public Object {
 public:
  virtual void close() {}
  virtual void flush() {}
  virtual void write(int b) {
    char c = static_cast<char>(b);
    write(&c, 0, 1);
  }
  virtual void write(const char* buf, int off, int len) = 0;
};
