#pragma once

#include <cstdint>
#include <string>

#include "service/html/HtmlEngine.h"

namespace vesk {

// Measures text the way the handset will draw it: per-character widths from the width table the
// client sends (851 code points in fixed ranges), its wide-character width for ideographs, and an
// average width for everything else. Sizes other than the base size scale linearly.
class TextMetrics {
 public:
  static constexpr int TABLE_LENGTH = 851;

  explicit TextMetrics(const ClientMetrics& metrics);

  int baseSize() const { return baseSize_; }
  int ascent(int size) const { return scale(metrics_.ascent, size); }
  int descent(int size) const;
  int lineHeight(int size) const { return ascent(size) + descent(size); }
  int charWidth(uint32_t codePoint) const;
  // Width of UTF-8 text at a font size; bold text is one pixel wider (the handset draws it twice).
  int textWidth(const std::string& utf8, int size, bool bold) const;

  static bool isWide(uint32_t codePoint);
  // Decodes one code point at i and advances it; bad bytes give U+FFFD.
  static uint32_t nextCodePoint(const std::string& s, size_t& i);
  static std::string defaultTable();

 private:
  int scale(int value, int size) const { return (value * size + baseSize_ / 2) / baseSize_; }

  ClientMetrics metrics_;
  std::string table_;
  int baseSize_ = 14;
  int averageWidth_ = 6;
};

}  // namespace vesk
