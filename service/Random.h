#pragma once

#include <string>

namespace vesk {

// Bytes from the operating system's random source.
class Random {
 public:
  static std::string bytes(size_t n);
  static std::string hex(size_t nBytes);
};

}  // namespace vesk
