#pragma once

#include <cstdint>

#include "vwt/lang/String.h"

// A moment as milliseconds since 1970-01-01 00:00:00 UTC.
class Date : public Object {
 public:
  // Now.
  Date();
  explicit Date(int64_t time) : time_(time) {}

  int64_t getTime() const { return time_; }
  void setTime(int64_t time) { time_ = time; }
  unsigned int hashCode() const { return static_cast<unsigned int>(time_ & 0xFFFFFFFF); }
  bool equals(const Object& other) const override;
  String toString() const override { return String(time_); }

 private:
  int64_t time_;
};
