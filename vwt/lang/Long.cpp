#include "vwt/lang/Long.h"

String Long::toHexString(Long v) {
  static const char16_t DIGITS[] = u"0123456789abcdef";
  uint64_t u = static_cast<uint64_t>(v.value_);
  char16_t buf[16];
  int n = 0;
  for (int shift = 60; shift >= 0; shift -= 4) {
    int d = static_cast<int>((u >> shift) & 0xF);
    if (n == 0 && d == 0) continue;
    buf[n++] = DIGITS[d];
  }
  return String(buf, 0, n);
}
