#pragma once

#include <cstddef>
#include <cstdint>

#include "vwt/lang/Object.h"

class StringBuffer;
template <typename T>
class VectorV;

// Immutable UTF-16 text. Copies share one reference-counted body; length and
// hash are computed on first use and cached in the body.
class String : public Object {
 public:
  // Byte encodings of text understood by the readers and conversions.
  enum CharsetType {
    DEFAULT = 0,  // the system's default (OEM) code page
    UTF8 = 1,     // one to three bytes per unit
    UTF16LE = 2,  // two bytes per unit, little-endian
  };

  // The shared empty string.
  static const String null;

  String() : body_(&nullBody_) {}
  String(const String& other);
  String(String&& other) noexcept : body_(other.body_) { other.body_ = &nullBody_; }
  explicit String(char16_t c);
  // Wraps s without copying. adopt false: s must outlive every copy (a
  // literal). adopt true: s is a new[] array the body frees.
  String(const char16_t* s, bool adopt);
  // Copies count units from s + offset.
  String(const char16_t* s, int offset, int count);
  explicit String(int v);
  explicit String(unsigned int v);
  explicit String(int64_t v);
  explicit String(uint64_t v);
  explicit String(bool v);
  String(const char16_t* a, const char16_t* b);
  String(const String& a, const String& b);
  String(const String& s, char16_t c);
  String(char16_t c, const String& s);
  // Copy of s with every unit from replaced by to.
  String(const String& s, char16_t from, char16_t to);
  // Copy of s with every occurrence of from replaced by to.
  String(const String& s, const String& from, const String& to);
  explicit String(const Object& o);
  String(const StringBuffer& b);
  // Bytes in the default (OEM) code page; throws -2100 when the code page
  // cannot be used.
  String(const char* bytes);
  // A single pointer is never text: this keeps pointers from turning into
  // String(bool). Wrap literals with _s or the two-argument form.
  template <typename T>
  String(const T*) = delete;

  // Inline, with the empty text's check, because texts are made and dropped
  // by the hundred thousand when a page arrives.
  ~String() override {
    if (body_ != &nullBody_) release();
  }

  String& operator=(const String& other);
  String& operator=(String&& other) noexcept {
    if (this != &other) {
      if (body_ != &nullBody_) release();
      body_ = other.body_;
      other.body_ = &nullBody_;
    }
    return *this;
  }

  String toString() const override;
  bool equals(const Object& other) const override;
  bool equals(const char16_t* s) const;
  bool equalsIgnoreCase(const String& s) const;
  bool equalsIgnoreCase(const char16_t* s) const;
  bool operator==(const Object& other) const { return equals(other); }
  bool operator!=(const Object& other) const { return !equals(other); }
  bool operator==(const char16_t* s) const { return equals(s); }
  bool operator!=(const char16_t* s) const { return !equals(s); }

  const char16_t* getCString() const;
  int length() const;
  char16_t charAt(int i) const { return getCString()[i]; }
  // True for every text of length 0.
  bool isNull() const { return length() == 0; }

  bool startsWith(const String& prefix) const;
  bool startsWith(const char16_t* prefix) const;
  bool endsWith(const String& suffix) const;
  bool endsWith(const char16_t* suffix) const;
  bool startsWithIgnoreCase(const String& prefix) const;
  bool endsWithIgnoreCase(const String& suffix) const;

  unsigned int hashCode() const;

  int indexOf(char16_t c, int from = 0) const;
  int indexOf(const String& s, int from = 0) const;
  int lastIndexOf(char16_t c) const;
  int lastIndexOf(char16_t c, int from) const;
  int lastIndexOf(const String& s) const;
  int lastIndexOf(const String& s, int from) const;

  String substring(int begin, int end) const;
  String substring(int begin) const;
  String toLowerCase() const;
  String toUpperCase() const;
  // Strips U+0020 and 0x8140 at both ends; null when nothing is left.
  String trim() const;
  String replace(char16_t from, char16_t to) const;
  String replace(const String& from, const String& to) const;
  String concat(const String& s) const;

  String operator+(const String& s) const;
  String operator+(const char16_t* s) const;
  String operator+(char16_t c) const;
  String operator+(int v) const;
  String operator+(unsigned int v) const;
  String operator+(int64_t v) const;
  String operator+(uint64_t v) const;
  String operator+(bool v) const;
  String operator+=(const String& s);

  // The pointer as "%p" prints it.
  static String toHexString(const void* p);

  // Separator positions then the length; the caller delete[]s the array.
  int* split(char16_t sep, int* count) const;
  int* splitQuoted(char16_t sep, int* count) const;
  void split(char16_t sep, bool skipEmpty, VectorV<String>* out) const;
  void splitQuoted(char16_t sep, bool skipEmpty, VectorV<String>* out) const;

  // The text in the ANSI code page, at most max bytes (never half a
  // character) plus a NUL; units it lacks become a space. Returns the bytes.
  int getCStringAsAscii(char* out, int max) const;
  // Bytes enough for getCStringAsAscii of any text of that many units.
  static int maxAsciiBytes(int units);

  const String& addRef() const;
  void release() const;

 private:
  struct Body;
  // The permanent empty body: never counted, never freed.
  static Body nullBody_;
  explicit String(Body* body) : body_(body) {}
  static Body* allocate(int units);
  // Bytes of a body with its characters inline, terminator included.
  static size_t inlineSize(int units);
  static String fromUnits(const char16_t* a, int na, const char16_t* b, int nb);
  template <typename F>
  String mapUnits(F f) const;

  Body* body_;
};

// u"text"_s wraps a literal without copying it.
inline String operator""_s(const char16_t* s, size_t) { return String(s, false); }
