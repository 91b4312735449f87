#pragma once

#include <cstdint>

#include "vwt/lang/String.h"

// A boxed signed 64-bit value.
class Long : public Object {
 public:
  // Implicit, so that a plain number may stand where a Long is taken.
  Long(int64_t value) : value_(value) {}

  int64_t longValue() const { return value_; }
  String toString() const override { return String(value_); }
  bool equals(const Object& other) const override {
    const Long* o = dynamic_cast<const Long*>(&other);
    return o ? o->value_ == value_ : this == &other;
  }

  // Lower-case hexadecimal without leading zeros; 0 gives an empty text.
  static String toHexString(Long v);

 private:
  int64_t value_;
};
