#pragma once

#include <string>

namespace vesk {

// zlib-format compression (window bits 15), the form the handset inflates.
class Compressor {
 public:
  static std::string deflate(const std::string& data, int level = 6);
};

}  // namespace vesk
