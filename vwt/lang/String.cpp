#include "vwt/lang/String.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <new>
#include <string>

#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/StringBuffer.h"
#include "vwt/lang/VectorV.h"
#include "vwt/platform/Text.h"

// The reference count is atomic: a worker may drop its copy while the
// interface thread copies the same text. Length and hash are cached with
// relaxed atomics; every thread computes the same value.
struct String::Body {
  const char16_t* chars;
  std::atomic<int32_t> length;
  std::atomic<int32_t> refs;
  std::atomic<uint32_t> hash;
  bool isStatic;     // chars are not owned
  bool inlineChars;  // chars live in the same allocation, right after the body
};

namespace {

constexpr char16_t EMPTY[1] = {0};

inline int unitsLength(const char16_t* s) {
  if (!s) return 0;
  const char16_t* p = s;
  while (*p) ++p;
  return static_cast<int>(p - s);
}

}  // namespace

// Constant-initialised, so static strings in any translation unit may use it
// before dynamic initialisation runs.
String::Body String::nullBody_ = {EMPTY, {0}, {1}, {0}, true, false};

const String String::null;

size_t String::inlineSize(int units) {
  return sizeof(Body) + (static_cast<size_t>(units) + 1) * sizeof(char16_t);
}

String::Body* String::allocate(int units) {
  void* block = SmallBlocks::allocate(inlineSize(units));
  Body* b = static_cast<Body*>(block);
  char16_t* chars = reinterpret_cast<char16_t*>(b + 1);
  chars[units] = 0;
  b->chars = chars;
  new (&b->length) std::atomic<int32_t>(units);
  new (&b->refs) std::atomic<int32_t>(1);
  new (&b->hash) std::atomic<uint32_t>(0xFFFFFFFFu);
  b->isStatic = false;
  b->inlineChars = true;
  return b;
}

String String::fromUnits(const char16_t* a, int na, const char16_t* b, int nb) {
  if (na + nb == 0) return String();
  Body* body = allocate(na + nb);
  char16_t* out = const_cast<char16_t*>(body->chars);
  if (na) memcpy(out, a, na * sizeof(char16_t));
  if (nb) memcpy(out + na, b, nb * sizeof(char16_t));
  return String(body);
}

String::String(const String& other) : body_(other.body_) { addRef(); }

String::String(char16_t c) : String(fromUnits(&c, 1, nullptr, 0)) {}

String::String(const char16_t* s, bool adopt) {
  if (!s || (!adopt && s[0] == 0)) {
    body_ = &nullBody_;
    if (adopt) delete[] s;
    return;
  }
  Body* b = new Body;
  b->chars = s;
  new (&b->length) std::atomic<int32_t>(-1);
  new (&b->refs) std::atomic<int32_t>(1);
  new (&b->hash) std::atomic<uint32_t>(0xFFFFFFFFu);
  b->isStatic = !adopt;
  b->inlineChars = false;
  body_ = b;
}

String::String(const char16_t* s, int offset, int count)
    : String(s && count > 0 ? fromUnits(s + offset, count, nullptr, 0) : String()) {}

namespace {
// Decimal text of a 64-bit magnitude with an optional minus sign: the text
// "%d", "%u", "%lld" and "%llu" print, without the formatter's cost.
String decimal(uint64_t magnitude, bool negative) {
  char16_t buf[24];
  int i = 24;
  do {
    buf[--i] = static_cast<char16_t>(u'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude);
  if (negative) buf[--i] = u'-';
  return String(buf, i, 24 - i);
}

String signedDecimal(int64_t v) {
  return v < 0 ? decimal(0 - static_cast<uint64_t>(v), true) : decimal(static_cast<uint64_t>(v), false);
}
}  // namespace

String::String(int v) : String(signedDecimal(v)) {}
String::String(unsigned int v) : String(decimal(v, false)) {}
String::String(int64_t v) : String(signedDecimal(v)) {}
String::String(uint64_t v) : String(decimal(v, false)) {}
String::String(bool v) : String(v ? u"true" : u"false", false) {}

String::String(const char16_t* a, const char16_t* b)
    : String(fromUnits(a, unitsLength(a), b, unitsLength(b))) {}

String::String(const String& a, const String& b)
    : String(fromUnits(a.getCString(), a.length(), b.getCString(), b.length())) {}

String::String(const String& s, char16_t c) : String(fromUnits(s.getCString(), s.length(), &c, 1)) {}

String::String(char16_t c, const String& s) : String(fromUnits(&c, 1, s.getCString(), s.length())) {}

String::String(const String& s, char16_t from, char16_t to)
    : String(s.mapUnits([from, to](char16_t c) { return c == from ? to : c; })) {}

String::String(const String& s, const String& from, const String& to) : body_(&nullBody_) {
  int n = s.length(), nf = from.length(), nt = to.length();
  if (nf == 0 || n == 0) {  // nothing to search for: the text as it is
    *this = s;
    return;
  }
  VectorV<int> hits;
  for (int i = s.indexOf(from, 0); i >= 0; i = s.indexOf(from, i + nf)) hits.addElement(i);
  if (hits.size() == 0) {
    *this = s;
    return;
  }
  int total = n - hits.size() * (nf - nt);
  if (total == 0) return;
  Body* b = allocate(total);
  char16_t* out = const_cast<char16_t*>(b->chars);
  const char16_t* in = s.getCString();
  int src = 0;
  for (int k = 0; k < hits.size(); ++k) {
    int at = hits.elementAt(k);
    memcpy(out, in + src, (at - src) * sizeof(char16_t));
    out += at - src;
    memcpy(out, to.getCString(), nt * sizeof(char16_t));
    out += nt;
    src = at + nf;
  }
  memcpy(out, in + src, (n - src) * sizeof(char16_t));
  body_ = b;
}

String::String(const Object& o) : String(o.toString()) {}

String::String(const StringBuffer& b) : String(b.toString()) {}

String::String(const char* bytes) : body_(&nullBody_) {
  if (!bytes || !*bytes) return;
  std::u16string units;
  if (!vwt::platform::decodeCodePage(vwt::platform::CodePage::Oem, bytes, strlen(bytes), units))
    throw Exception(Resource::getString(-2100), static_cast<uint64_t>(errno));
  *this = fromUnits(units.data(), static_cast<int>(units.size()), nullptr, 0);
}

String& String::operator=(const String& other) {
  if (body_ != other.body_) {
    other.addRef();
    release();
    body_ = other.body_;
  }
  return *this;
}

const String& String::addRef() const {
  if (body_ != &nullBody_) body_->refs.fetch_add(1, std::memory_order_relaxed);
  return *this;
}

void String::release() const {
  Body* b = body_;
  if (b == &nullBody_) return;
  if (b->refs.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
  if (b->inlineChars) {
    size_t size = inlineSize(b->length.load(std::memory_order_relaxed));
    b->~Body();
    SmallBlocks::release(b, size);
    return;
  }
  if (!b->isStatic) delete[] b->chars;
  delete b;
}

String String::toString() const { return *this; }

const char16_t* String::getCString() const { return body_->chars ? body_->chars : EMPTY; }

int String::length() const {
  int32_t n = body_->length.load(std::memory_order_relaxed);
  if (n < 0) {
    n = unitsLength(body_->chars);
    body_->length.store(n, std::memory_order_relaxed);
  }
  return n;
}

bool String::equals(const Object& other) const {
  const String* s = dynamic_cast<const String*>(&other);
  if (!s) return false;
  if (s->body_ == body_) return true;
  int32_t a = body_->length.load(std::memory_order_relaxed);
  int32_t b = s->body_->length.load(std::memory_order_relaxed);
  if (a >= 0 && b >= 0 && a != b) return false;
  int n = length();
  return n == s->length() && memcmp(getCString(), s->getCString(), n * sizeof(char16_t)) == 0;
}

bool String::equals(const char16_t* s) const {
  if (!s) return false;
  int n = length();
  const char16_t* p = getCString();
  for (int i = 0; i < n; ++i)
    if (p[i] != s[i]) return false;
  return s[n] == 0;
}

bool String::equalsIgnoreCase(const String& s) const {
  return vwt::platform::compareIgnoreCase(getCString(), s.getCString()) == 0;
}

bool String::equalsIgnoreCase(const char16_t* s) const {
  return s && vwt::platform::compareIgnoreCase(getCString(), s) == 0;
}

bool String::startsWith(const String& prefix) const {
  int n = prefix.length();
  return n <= length() && memcmp(getCString(), prefix.getCString(), n * sizeof(char16_t)) == 0;
}

bool String::startsWith(const char16_t* prefix) const { return prefix && startsWith(String(prefix, false)); }

bool String::endsWith(const String& suffix) const {
  int n = suffix.length(), len = length();
  return n <= len && memcmp(getCString() + len - n, suffix.getCString(), n * sizeof(char16_t)) == 0;
}

bool String::endsWith(const char16_t* suffix) const { return suffix && endsWith(String(suffix, false)); }

bool String::startsWithIgnoreCase(const String& prefix) const {
  int n = prefix.length();
  return n <= length() && vwt::platform::compareIgnoreCase(getCString(), prefix.getCString(), n) == 0;
}

bool String::endsWithIgnoreCase(const String& suffix) const {
  int n = suffix.length(), len = length();
  return n <= len && vwt::platform::compareIgnoreCase(getCString() + len - n, suffix.getCString(), n) == 0;
}

unsigned int String::hashCode() const {
  uint32_t h = body_->hash.load(std::memory_order_relaxed);
  if (h != 0xFFFFFFFFu) return h;
  h = 0;
  for (const char16_t* p = getCString(); *p; ++p) h = h * 5 + *p;
  body_->hash.store(h, std::memory_order_relaxed);
  return h;
}

int String::indexOf(char16_t c, int from) const {
  int n = length();
  if (from < 0) from = 0;
  const char16_t* p = getCString();
  for (int i = from; i < n; ++i)
    if (p[i] == c) return i;
  return -1;
}

int String::indexOf(const String& s, int from) const {
  int n = length(), m = s.length();
  if (from < 0) from = 0;
  if (from >= n || m > n - from) return -1;
  const char16_t* p = getCString();
  const char16_t* q = s.getCString();
  if (m == 0) return from;
  for (int i = from; i <= n - m; ++i)
    if (p[i] == q[0] && memcmp(p + i, q, m * sizeof(char16_t)) == 0) return i;
  return -1;
}

int String::lastIndexOf(char16_t c) const { return lastIndexOf(c, length() - 1); }

int String::lastIndexOf(char16_t c, int from) const {
  if (from > length() - 1) from = length() - 1;
  const char16_t* p = getCString();
  for (int i = from; i >= 0; --i)
    if (p[i] == c) return i;
  return -1;
}

int String::lastIndexOf(const String& s) const { return lastIndexOf(s, length() - 1); }

int String::lastIndexOf(const String& s, int from) const {
  int n = length(), m = s.length();
  if (from < 0 || from < m) return -1;
  if (from > n - 1) from = n - 1;
  const char16_t* p = getCString();
  const char16_t* q = s.getCString();
  for (int i = from; i >= 0; --i)
    if (i + m <= n && memcmp(p + i, q, m * sizeof(char16_t)) == 0) return i;
  return -1;
}

String String::substring(int begin, int end) const {
  int n = length();
  if (begin < 0) begin = 0;
  if (end > n) end = n;
  if (begin >= end) return String();
  if (begin == 0 && end == n) return *this;
  return fromUnits(getCString() + begin, end - begin, nullptr, 0);
}

String String::substring(int begin) const { return substring(begin, length()); }

template <typename F>
String String::mapUnits(F f) const {
  int n = length();
  if (n == 0) return String();
  Body* b = allocate(n);
  char16_t* out = const_cast<char16_t*>(b->chars);
  const char16_t* in = getCString();
  for (int i = 0; i < n; ++i) out[i] = f(in[i]);
  return String(b);
}

String String::toLowerCase() const {
  return mapUnits([](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; });
}

String String::toUpperCase() const {
  return mapUnits([](char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; });
}

String String::trim() const {
  auto blank = [](char16_t c) { return c == 0x0020 || c == 0x8140; };
  int n = length(), b = 0, e = n;
  const char16_t* p = getCString();
  while (b < e && blank(p[b])) ++b;
  while (e > b && blank(p[e - 1])) --e;
  if (b == e) return String::null;
  return substring(b, e);
}

String String::replace(char16_t from, char16_t to) const { return String(*this, from, to); }

String String::replace(const String& from, const String& to) const { return String(*this, from, to); }

String String::concat(const String& s) const { return String(*this, s); }

String String::operator+(const String& s) const { return String(*this, s); }
String String::operator+(const char16_t* s) const {
  return fromUnits(getCString(), length(), s, unitsLength(s));
}
String String::operator+(char16_t c) const { return String(*this, c); }
String String::operator+(int v) const { return String(*this, String(v)); }
String String::operator+(unsigned int v) const { return String(*this, String(v)); }
String String::operator+(int64_t v) const { return String(*this, String(v)); }
String String::operator+(uint64_t v) const { return String(*this, String(v)); }
String String::operator+(bool v) const { return String(*this, String(v)); }

String String::operator+=(const String& s) {
  *this = String(*this, s);
  return *this;
}

String String::toHexString(const void* p) {
  char16_t buf[20];
  int n = vwt::platform::formatNumber(buf, 20, "%p", p);
  return String(buf, 0, n);
}

namespace {

// Separator positions of text, then its length. In quoted mode a quotation
// mark at the start of a field hides separators up to the next one.
int* splitPositions(const char16_t* p, int n, char16_t sep, bool quoted, int* count) {
  int seps = 0;
  bool inQuote = false;
  for (int i = 0; i < n; ++i) {
    if (inQuote) {
      if (p[i] == u'"') inQuote = false;
    } else if (p[i] == sep) {
      ++seps;
    } else if (quoted && p[i] == u'"' && (i == 0 || p[i - 1] == sep)) {
      inQuote = true;
    }
  }
  int* out = new int[seps + 1];
  int k = 0;
  inQuote = false;
  for (int i = 0; i < n; ++i) {
    if (inQuote) {
      if (p[i] == u'"') inQuote = false;
    } else if (p[i] == sep) {
      out[k++] = i;
    } else if (quoted && p[i] == u'"' && (i == 0 || p[i - 1] == sep)) {
      inQuote = true;
    }
  }
  out[k] = n;
  *count = seps + 1;
  return out;
}

}  // namespace

int* String::split(char16_t sep, int* count) const {
  return splitPositions(getCString(), length(), sep, false, count);
}

int* String::splitQuoted(char16_t sep, int* count) const {
  return splitPositions(getCString(), length(), sep, true, count);
}

void String::split(char16_t sep, bool skipEmpty, VectorV<String>* out) const {
  int count = 0;
  int* ends = split(sep, &count);
  int begin = 0;
  for (int i = 0; i < count; ++i) {
    if (!skipEmpty || ends[i] > begin) out->addElement(substring(begin, ends[i]));
    begin = ends[i] + 1;
  }
  delete[] ends;
}

void String::splitQuoted(char16_t sep, bool skipEmpty, VectorV<String>* out) const {
  int count = 0;
  int* ends = splitQuoted(sep, &count);
  const char16_t* p = getCString();
  int begin = 0;
  for (int i = 0; i < count; ++i) {
    int end = ends[i];
    if (!skipEmpty || end > begin) {
      if (end > begin && p[begin] == u'"') {
        int b = begin + 1, e = end;
        if (e - 1 >= b && p[e - 1] == u'"') --e;
        out->addElement(substring(b, e));
      } else {
        out->addElement(substring(begin, end));
      }
    }
    begin = end + 1;
  }
  delete[] ends;
}

int String::getCStringAsAscii(char* out, int max) const {
  int n = length();
  if (n == 0 || max <= 0) {
    out[0] = 0;
    return 0;
  }
  int w = vwt::platform::encodeCodePage(vwt::platform::CodePage::Ansi, getCString(), n, out,
                                        static_cast<size_t>(max));
  if (w < 0) {
    out[0] = 0;
    throw Exception(Resource::getString(-2101), static_cast<uint64_t>(errno));
  }
  out[w] = 0;
  return w;
}

int String::maxAsciiBytes(int units) {
  return units * vwt::platform::maxBytesPerUnit(vwt::platform::CodePage::Ansi);
}
