#include "vwt/lang/Integer.h"

#include <climits>
#include <cstdint>

#include "vwt/platform/Text.h"

namespace {
int clampWidth(int width, int max) { return width < 0 ? 0 : width > max ? max : width; }

String hex(int v, int width, bool upper) {
  char16_t buf[20];
  int n = vwt::platform::formatNumber(buf, 20, upper ? "%0*X" : "%0*x", clampWidth(width, 9),
                                      static_cast<unsigned int>(v));
  return String(buf, 0, n);
}
}  // namespace

bool Integer::equals(const Object& other) const {
  const Integer* o = dynamic_cast<const Integer*>(&other);
  return o ? o->value_ == value_ : this == &other;
}

String Integer::toString(int v, int width) {
  char16_t buf[40];
  int n = vwt::platform::formatNumber(buf, 40, "%0*d", clampWidth(width, 30), v);
  return String(buf, 0, n);
}

String Integer::toHexString(int v, int width) { return hex(v, width, false); }

String Integer::toHexStringUpper(int v, int width) { return hex(v, width, true); }

int Integer::parseInt(const String& s) {
  const char16_t* p = s.getCString();
  while (*p == u' ' || (*p >= u'\t' && *p <= u'\r')) ++p;
  bool negative = false;
  if (*p == u'-' || *p == u'+') negative = *p++ == u'-';
  int64_t v = 0;
  for (; *p >= u'0' && *p <= u'9'; ++p) {
    v = v * 10 + (*p - u'0');
    if (v > static_cast<int64_t>(INT_MAX) + 1) v = static_cast<int64_t>(INT_MAX) + 1;
  }
  if (negative) v = -v;
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

int Integer::parseInt(const String& s, int def) {
  if (s.isNull()) return def;
  char16_t c = s.charAt(0);
  if ((c < u'0' || c > u'9') && c != u'-' && c != u'+' && c != u'.') return def;
  return parseInt(s);
}

int Integer::hexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

int Integer::parseHexInt(const String& s, int def) {
  if (s.isNull()) return def;
  const char16_t* p = s.getCString();
  bool negative = *p == u'-';
  if (negative) ++p;
  uint32_t v = 0;
  bool any = false;
  for (;; ++p) {
    int d = hexDigit(*p);
    if (d < 0) break;
    v = v * 16 + static_cast<uint32_t>(d);
    any = true;
  }
  if (!any) return def;
  return static_cast<int>(negative ? 0u - v : v);
}
