#include "service/Random.h"

#include <openssl/rand.h>

#include "service/ProtocolError.h"

namespace vesk {

std::string Random::bytes(size_t n) {
  std::string out(n, '\0');
  if (n && RAND_bytes(reinterpret_cast<unsigned char*>(&out[0]), static_cast<int>(n)) != 1)
    throw ProtocolError("no random bytes");
  return out;
}

std::string Random::hex(size_t nBytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes(nBytes)) {
    out.push_back(digits[c >> 4]);
    out.push_back(digits[c & 15]);
  }
  return out;
}

}  // namespace vesk
