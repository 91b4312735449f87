#include "vwt/crypto/Base64.h"

#include <climits>
#include <cstdint>
#include <cstring>

#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"

namespace {

const char ALPHABET[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
const uint8_t INVALID = 0xFF;

// Character pairs for every 12-bit value, and values for the ASCII range.
struct Tables {
  char16_t pairs[4096][2];
  uint8_t values[128];
  Tables() {
    for (int i = 0; i < 4096; ++i) {
      pairs[i][0] = static_cast<char16_t>(ALPHABET[i >> 6]);
      pairs[i][1] = static_cast<char16_t>(ALPHABET[i & 63]);
    }
    memset(values, INVALID, sizeof values);
    for (int i = 0; i < 64; ++i) values[static_cast<unsigned char>(ALPHABET[i])] = static_cast<uint8_t>(i);
  }
};

const Tables& tables() {
  static const Tables t;
  return t;
}

inline uint8_t valueOf(const Tables& t, char16_t c) { return c < 128 ? t.values[c] : INVALID; }

}  // namespace

String Base64::encode(const char* data, int length) {
  if (!data || length <= 0) return String::null;
  int64_t units = (static_cast<int64_t>(length) + 2) / 3 * 4;
  if (units > INT_MAX - 1) throw Exception(Resource::getString(-305));
  const Tables& t = tables();
  char16_t* out = new char16_t[units + 1];
  char16_t* o = out;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(data);
  const unsigned char* end = p + (length - length % 3);
  for (; p < end; p += 3, o += 4) {
    uint32_t v = (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
    memcpy(o, t.pairs[v >> 12], 2 * sizeof(char16_t));
    memcpy(o + 2, t.pairs[v & 0xFFF], 2 * sizeof(char16_t));
  }
  int rest = length % 3;
  if (rest) {
    uint32_t v = uint32_t(p[0]) << 16;
    if (rest == 2) v |= uint32_t(p[1]) << 8;
    o[0] = t.pairs[v >> 12][0];
    o[1] = t.pairs[v >> 12][1];
    o[2] = rest == 2 ? t.pairs[v & 0xFFF][0] : u'=';
    o[3] = u'=';
    o += 4;
  }
  *o = 0;
  return String(out, true);
}

void Base64::decode(const String& text, VectorV<char>& out) {
  const int n = text.length();
  if (n == 0) return;
  const Tables& t = tables();
  const char16_t* s = text.getCString();
  const int old = out.size();
  out.setSize(old + n / 4 * 3 + 3);
  unsigned char* o = reinterpret_cast<unsigned char*>(out.data()) + old;
  unsigned char* start = o;
  uint32_t v = 0;
  int pending = 0;
  int i = 0;
  while (i < n) {
    // Whole groups of four alphabet characters go at once.
    if (pending == 0 && i + 4 <= n) {
      uint8_t a = valueOf(t, s[i]), b = valueOf(t, s[i + 1]), c = valueOf(t, s[i + 2]),
              d = valueOf(t, s[i + 3]);
      if (!((a | b | c | d) & 0x80)) {
        uint32_t g = (uint32_t(a) << 18) | (uint32_t(b) << 12) | (uint32_t(c) << 6) | d;
        o[0] = static_cast<unsigned char>(g >> 16);
        o[1] = static_cast<unsigned char>(g >> 8);
        o[2] = static_cast<unsigned char>(g);
        o += 3;
        i += 4;
        continue;
      }
    }
    // Otherwise one character: skip what is not in the alphabet, stop at '='.
    char16_t ch = s[i++];
    if (ch == u'=') break;
    uint8_t x = valueOf(t, ch);
    if (x == INVALID) continue;
    v = (v << 6) | x;
    if (++pending == 4) {
      o[0] = static_cast<unsigned char>(v >> 16);
      o[1] = static_cast<unsigned char>(v >> 8);
      o[2] = static_cast<unsigned char>(v);
      o += 3;
      v = 0;
      pending = 0;
    }
  }
  if (pending == 2) {
    *o++ = static_cast<unsigned char>(v >> 4);
  } else if (pending == 3) {
    *o++ = static_cast<unsigned char>(v >> 10);
    *o++ = static_cast<unsigned char>(v >> 2);
  }
  out.setSize(old + static_cast<int>(o - start));
}
