#pragma once

#include "vwt/lang/String.h"
#include "vwt/lang/VectorV.h"

// A mutable text builder.
class StringBuffer : public Object {
 public:
  StringBuffer() = default;
  explicit StringBuffer(const String& s) { append(s); }

  StringBuffer& append(char16_t c) {
    units_.addElement(c);
    return *this;
  }
  StringBuffer& append(int v) { return append(String(v)); }
  StringBuffer& append(const String& s) {
    units_.addElements(s.getCString(), s.length());
    return *this;
  }
  int length() const { return units_.size(); }
  // Truncates to n units or pads with U+0000 up to n.
  void setLength(int n) { units_.setSize(n); }

  String toString() const override { return String(units_.data(), 0, units_.size()); }

 private:
  VectorV<char16_t> units_;
};
