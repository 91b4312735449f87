#include "vwt/platform/RandomSource.h"

#include <sys/random.h>

#include <cerrno>

namespace vwt {
namespace platform {

bool fillRandom(void* buffer, size_t length) {
  char* at = static_cast<char*>(buffer);
  while (length > 0) {
    ssize_t n = getrandom(at, length, 0);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    at += n;
    length -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace platform
}  // namespace vwt
