#pragma once
// Writes page descriptions field by field, the way the service does: its own
// big-endian encoding, so the parser is checked against an independent writer.

#include <cstdint>
#include <string>
#include <vector>

class PageWriter {
 public:
  PageWriter& byte(int v) {
    bytes.push_back(static_cast<char>(v));
    return *this;
  }
  PageWriter& i16(int v) { return byte(v >> 8).byte(v); }
  PageWriter& i32(int32_t v) {
    uint32_t u = static_cast<uint32_t>(v);
    return byte(u >> 24).byte(u >> 16).byte(u >> 8).byte(u);
  }
  PageWriter& boolean(bool b) { return byte(b ? 1 : 0); }
  // A length-prefixed text in modified UTF-8.
  PageWriter& utf(const std::u16string& s) {
    std::string enc;
    for (char16_t c : s) {
      if (c >= 1 && c < 0x80) {
        enc += static_cast<char>(c);
      } else if (c < 0x800) {
        enc += static_cast<char>(0xC0 | (c >> 6));
        enc += static_cast<char>(0x80 | (c & 0x3F));
      } else {
        enc += static_cast<char>(0xE0 | (c >> 12));
        enc += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        enc += static_cast<char>(0x80 | (c & 0x3F));
      }
    }
    i16(static_cast<int>(enc.size()));
    bytes.insert(bytes.end(), enc.begin(), enc.end());
    return *this;
  }
  PageWriter& rect(int x, int y, int w, int h) { return i32(x).i32(y).i32(w).i32(h); }

  // Rows 1-8 of the page description.
  PageWriter& header(int width, int height, const std::u16string& url = u"http://h/p",
                     const std::u16string& title = u"Title") {
    return i32(77).i16(3).i16(1).utf(url).utf(title).i32(0xFFFFFF).i32(width).i32(height);
  }
  PageWriter& text(int x, int y, int w, int h, const std::u16string& s, int flags = 0) {
    return byte(3).rect(x, y, w, h).i32(0x112233).utf(s).i32(0).i32(flags);
  }
  PageWriter& noFrames() { return i16(0); }

  const char* data() const { return bytes.data(); }
  int size() const { return static_cast<int>(bytes.size()); }

  std::vector<char> bytes;
};
