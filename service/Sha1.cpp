#include "service/Sha1.h"

#include <openssl/sha.h>

namespace vesk {

std::string Sha1::of(const char* data, size_t n) {
  unsigned char md[SHA_DIGEST_LENGTH];
  SHA1(reinterpret_cast<const unsigned char*>(data), n, md);
  return std::string(reinterpret_cast<char*>(md), sizeof md);
}

std::string Sha1::of(const std::string& data) { return of(data.data(), data.size()); }

std::string Sha1::hex(const std::string& data) {
  static const char digits[] = "0123456789abcdef";
  std::string d = of(data), out;
  for (unsigned char c : d) {
    out.push_back(digits[c >> 4]);
    out.push_back(digits[c & 15]);
  }
  return out;
}

}  // namespace vesk
