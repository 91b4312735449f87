#pragma once

#include "vwt/lang/String.h"

// A sink of characters. Subclasses provide write(s, off, len).
class Writer : public Object {
 public:
  virtual void write(const String& s, int off, int len) = 0;
  virtual void write(int c) { write(String(static_cast<char16_t>(c)), 0, 1); }
  void write(const String& s) { write(s, 0, s.length()); }
  virtual void flush() {}
  virtual void close() {}
};
