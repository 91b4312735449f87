#include "vwt/lang/Math.h"

#include <mutex>
#include <random>

double Math::random() {
  static std::mutex lock;
  static std::mt19937_64 engine{std::random_device{}()};
  std::lock_guard<std::mutex> g(lock);
  // 53 random bits: never 1.0, which the library's distributions can round to.
  return static_cast<double>(engine() >> 11) * (1.0 / 9007199254740992.0);
}
