#include "vwt/platform/Text.h"

#include <cxxabi.h>
#include <errno.h>
#include <iconv.h>
#include <locale.h>
#include <wctype.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>

namespace vwt {
namespace platform {

int formatNumber(char16_t* out, int outUnits, const char* format, ...) {
  if (outUnits <= 0) return 0;
  char narrow[128];
  va_list args;
  va_start(args, format);
  int n = vsnprintf(narrow, sizeof narrow, format, args);
  va_end(args);
  if (n < 0) n = 0;
  if (n > outUnits - 1) n = outUnits - 1;
  if (n > static_cast<int>(sizeof narrow) - 1) n = sizeof narrow - 1;
  for (int i = 0; i < n; ++i) out[i] = static_cast<unsigned char>(narrow[i]);
  out[n] = 0;
  return n;
}

namespace {

locale_t unicodeLocale() {
  static locale_t loc = [] {
    locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    return l ? l : newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(0));
  }();
  return loc;
}

inline char32_t fold(char16_t c) {
  if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
  if (c >= 0xD800 && c <= 0xDFFF) return c;  // surrogate halves compare as they are
  return static_cast<char32_t>(towlower_l(static_cast<wint_t>(c), unicodeLocale()));
}

}  // namespace

int compareIgnoreCase(const char16_t* a, const char16_t* b, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    char32_t x = fold(a[i]), y = fold(b[i]);
    if (x != y) return x < y ? -1 : 1;
    if (a[i] == 0) return 0;
  }
  return 0;
}

int compareIgnoreCase(const char16_t* a, const char16_t* b) {
  return compareIgnoreCase(a, b, static_cast<size_t>(-1));
}

// ---- code pages ----

namespace {

std::mutex& nameLock() {
  static std::mutex m;
  return m;
}

std::string& nameSlot(CodePage page) {
  static std::string names[2] = {[] {
                                   const char* v = getenv("VWT_ANSI_CODEPAGE");
                                   if (!v || !*v) v = getenv("VWT_CODEPAGE");
                                   return std::string(v && *v ? v : "UTF-8");
                                 }(),
                                 [] {
                                   const char* v = getenv("VWT_OEM_CODEPAGE");
                                   if (!v || !*v) v = getenv("VWT_CODEPAGE");
                                   return std::string(v && *v ? v : "UTF-8");
                                 }()};
  return names[page == CodePage::Ansi ? 0 : 1];
}

bool isUtf8(const std::string& name) {
  return strcasecmp(name.c_str(), "UTF-8") == 0 || strcasecmp(name.c_str(), "UTF8") == 0;
}

// One converter per thread and direction, reopened when the name changes.
class Converter {
 public:
  ~Converter() { close(); }
  iconv_t get(const std::string& to, const std::string& from) {
    if (handle_ != reinterpret_cast<iconv_t>(-1) && to == to_ && from == from_) {
      iconv(handle_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
      return handle_;
    }
    close();
    handle_ = iconv_open(to.c_str(), from.c_str());
    if (handle_ != reinterpret_cast<iconv_t>(-1)) {
      to_ = to;
      from_ = from;
    }
    return handle_;
  }

 private:
  void close() {
    if (handle_ != reinterpret_cast<iconv_t>(-1)) iconv_close(handle_);
    handle_ = reinterpret_cast<iconv_t>(-1);
  }
  iconv_t handle_ = reinterpret_cast<iconv_t>(-1);
  std::string to_, from_;
};

void appendUtf8(const char* s, size_t n, std::u16string& out) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(s);
  size_t i = 0;
  while (i < n) {
    unsigned c = p[i];
    if (c < 0x80) {
      out.push_back(static_cast<char16_t>(c));
      ++i;
      continue;
    }
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : -1;
    if (c >= 0xF5 || c == 0xC0 || c == 0xC1) extra = -1;
    char32_t cp = extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
    bool ok = extra > 0;
    if (ok) {
      for (int k = 1; k <= extra; ++k) {
        if (i + k >= n || (p[i + k] & 0xC0) != 0x80) {
          ok = false;
          break;
        }
        cp = (cp << 6) | (p[i + k] & 0x3F);
      }
    }
    // Overlong forms, surrogates and values past U+10FFFF are not text.
    if (ok && ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
               (cp >= 0xD800 && cp <= 0xDFFF)))
      ok = false;
    if (!ok) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += extra + 1;
  }
}

int encodeUtf8(const char16_t* u, size_t n, char* out, size_t max) {
  size_t w = 0;
  for (size_t i = 0; i < n; ++i) {
    char32_t c = u[i];
    size_t step = 1;
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && u[i + 1] >= 0xDC00 && u[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (u[i + 1] - 0xDC00);
      step = 2;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = ' ';  // a lone half has no encoding
    }
    char buf[4];
    size_t len;
    if (c < 0x80) {
      buf[0] = static_cast<char>(c);
      len = 1;
    } else if (c < 0x800) {
      buf[0] = static_cast<char>(0xC0 | (c >> 6));
      buf[1] = static_cast<char>(0x80 | (c & 0x3F));
      len = 2;
    } else if (c < 0x10000) {
      buf[0] = static_cast<char>(0xE0 | (c >> 12));
      buf[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      buf[2] = static_cast<char>(0x80 | (c & 0x3F));
      len = 3;
    } else {
      buf[0] = static_cast<char>(0xF0 | (c >> 18));
      buf[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      buf[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      buf[3] = static_cast<char>(0x80 | (c & 0x3F));
      len = 4;
    }
    if (w + len > max) break;
    memcpy(out + w, buf, len);
    w += len;
    i += step - 1;
  }
  return static_cast<int>(w);
}

}  // namespace

std::string codePageName(CodePage page) {
  std::lock_guard<std::mutex> g(nameLock());
  return nameSlot(page);
}

namespace {
// Whether a code page is UTF-8, readable without the lock on every call.
std::atomic<int>& utf8Flag(CodePage page) {
  static std::atomic<int> flags[2] = {{-1}, {-1}};
  return flags[page == CodePage::Ansi ? 0 : 1];
}

bool usesUtf8(CodePage page) {
  int f = utf8Flag(page).load(std::memory_order_acquire);
  if (f < 0) {
    f = isUtf8(codePageName(page)) ? 1 : 0;
    utf8Flag(page).store(f, std::memory_order_release);
  }
  return f == 1;
}
}  // namespace

void setCodePageName(CodePage page, const std::string& name) {
  std::lock_guard<std::mutex> g(nameLock());
  nameSlot(page) = name;
  utf8Flag(page).store(isUtf8(name) ? 1 : 0, std::memory_order_release);
}

int maxBytesPerUnit(CodePage page) {
  return usesUtf8(page) ? 3 : 4;  // UTF-8: a pair of units takes 4, 2 per unit
}

bool decodeCodePage(CodePage page, const char* bytes, size_t count, std::u16string& out) {
  out.clear();
  if (usesUtf8(page)) {
    out.reserve(count);
    appendUtf8(bytes, count, out);
    return true;
  }
  std::string name = codePageName(page);
  static thread_local Converter converter;
  iconv_t cd = converter.get("UTF-16LE", name);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  char* in = const_cast<char*>(bytes);
  size_t inLeft = count;
  std::string buf(count * 4 + 8, '\0');
  while (inLeft > 0) {
    char* o = &buf[0];
    size_t oLeft = buf.size();
    size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
    size_t produced = buf.size() - oLeft;
    for (size_t k = 0; k + 1 < produced; k += 2)
      out.push_back(static_cast<char16_t>(static_cast<unsigned char>(buf[k]) |
                                          (static_cast<unsigned char>(buf[k + 1]) << 8)));
    if (r != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) continue;
    // A byte the code page cannot read, or a character cut off at the end.
    out.push_back(0xFFFD);
    ++in;
    --inLeft;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  return true;
}

int encodeCodePage(CodePage page, const char16_t* units, size_t count, char* out, size_t max) {
  if (usesUtf8(page)) return encodeUtf8(units, count, out, max);
  std::string name = codePageName(page);
  static thread_local Converter converter;
  iconv_t cd = converter.get(name, "UTF-16LE");
  if (cd == reinterpret_cast<iconv_t>(-1)) return -1;
  size_t written = 0;
  for (size_t i = 0; i < count;) {
    size_t step = 1;
    if (units[i] >= 0xD800 && units[i] <= 0xDBFF && i + 1 < count && units[i + 1] >= 0xDC00 &&
        units[i + 1] <= 0xDFFF)
      step = 2;
    char le[4];
    for (size_t k = 0; k < step; ++k) {
      le[2 * k] = static_cast<char>(units[i + k] & 0xFF);
      le[2 * k + 1] = static_cast<char>(units[i + k] >> 8);
    }
    char enc[16];
    char* in = le;
    size_t inLeft = step * 2;
    char* o = enc;
    size_t oLeft = sizeof enc;
    size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
    size_t len = sizeof enc - oLeft;
    if (r == static_cast<size_t>(-1) || r > 0) {
      // Lacking in the code page (or converted approximately): a space instead.
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      enc[0] = ' ';
      len = 1;
    }
    if (written + len > max) break;
    memcpy(out + written, enc, len);
    written += len;
    i += step;
  }
  return static_cast<int>(written);
}

std::u16string utf16FromUtf8(const char* bytes, size_t count) {
  std::u16string out;
  appendUtf8(bytes, count, out);
  return out;
}

std::string utf8FromUtf16(const char16_t* units, size_t count) {
  std::string out;
  for (size_t i = 0; i < count; ++i) {
    uint32_t c = units[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < count && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::string typeName(const char* mangled) {
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> text(abi::__cxa_demangle(mangled, nullptr, nullptr, &status), free);
  return status == 0 && text ? std::string(text.get()) : std::string(mangled);
}

}  // namespace platform
}  // namespace vwt
