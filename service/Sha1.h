#pragma once

#include <string>

namespace vesk {

// SHA-1 digest of a byte string (20 raw bytes).
class Sha1 {
 public:
  static std::string of(const std::string& data);
  static std::string of(const char* data, size_t n);
  static std::string hex(const std::string& data);
};

}  // namespace vesk
