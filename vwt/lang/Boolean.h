#pragma once

#include "vwt/lang/String.h"

// A boxed bool.
class Boolean : public Object {
 public:
  Boolean() : value_(false) {}
  explicit Boolean(bool value) : value_(value) {}

  bool boolValue() const { return value_; }
  String toString() const override { return String(value_); }
  bool equals(const Object& other) const override {
    const Boolean* o = dynamic_cast<const Boolean*>(&other);
    return o ? o->value_ == value_ : this == &other;
  }

 private:
  bool value_;
};
