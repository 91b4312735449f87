#include "service/html/TextMetrics.h"

#include <algorithm>

namespace vesk {

namespace {

const char ALPHABET[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

struct Range {
  uint32_t first, last;
};
const Range TABLE_RANGES[] = {{0x20, 0x7E},     {0x2010, 0x203B}, {0x2103, 0x21E9}, {0x3000, 0x309E},
                              {0x30A1, 0x30FF}, {0xFF01, 0xFF5E}, {0xFF61, 0xFFE5}};

int alphabetIndex(char c) {
  const char* p = std::char_traits<char>::find(ALPHABET, 64, c);
  return p ? static_cast<int>(p - ALPHABET) : -1;
}

// Position of a code point in the table, or -1.
int tableIndex(uint32_t cp) {
  int base = 0;
  for (const Range& r : TABLE_RANGES) {
    if (cp >= r.first && cp <= r.last) return base + static_cast<int>(cp - r.first);
    base += static_cast<int>(r.last - r.first + 1);
  }
  return -1;
}

}  // namespace

std::string TextMetrics::defaultTable() {
  std::string t;
  for (const Range& r : TABLE_RANGES) {
    for (uint32_t cp = r.first; cp <= r.last; ++cp) {
      int w = 12;
      if (cp < 0x80) w = cp == ' ' ? 4 : 6;
      if (cp >= 0xFF61 && cp <= 0xFFDC) w = 6;  // half-width forms
      t += ALPHABET[w];
    }
  }
  return t;
}

TextMetrics::TextMetrics(const ClientMetrics& metrics) : metrics_(metrics) {
  // Metrics come from the query: keep them in a range that lays out sensibly.
  metrics_.ascent = std::clamp(metrics_.ascent, 1, 200);
  metrics_.descent = std::clamp(metrics_.descent, 0, 200);
  metrics_.lineHeight = std::clamp(metrics_.lineHeight, 1, 400);
  metrics_.wideWidth = std::clamp(metrics_.wideWidth, 1, 200);
  table_ = metrics_.widthTable;
  bool valid = table_.size() == TABLE_LENGTH;
  for (size_t i = 0; valid && i < table_.size(); ++i) valid = alphabetIndex(table_[i]) >= 0;
  if (!valid) table_ = defaultTable();
  baseSize_ = std::max(1, metrics_.ascent + metrics_.descent);
  int sum = 0;
  for (uint32_t cp = 0x21; cp <= 0x7E; ++cp) sum += alphabetIndex(table_[tableIndex(cp)]);
  averageWidth_ = std::max(1, sum / (0x7E - 0x21 + 1));
}

int TextMetrics::descent(int size) const {
  // The line is at least the client's line height, so the extra goes below the baseline.
  int d = std::max(metrics_.descent, metrics_.lineHeight - metrics_.ascent);
  return scale(d, size);
}

bool TextMetrics::isWide(uint32_t cp) {
  return (cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0xA4CF) || (cp >= 0xAC00 && cp <= 0xD7A3) ||
         (cp >= 0xF900 && cp <= 0xFAFF) || (cp >= 0xFE30 && cp <= 0xFE4F) || (cp >= 0xFF00 && cp <= 0xFF60) ||
         (cp >= 0xFFE0 && cp <= 0xFFE6) || (cp >= 0x1F300 && cp <= 0x1FAFF) ||
         (cp >= 0x20000 && cp <= 0x3FFFD);
}

int TextMetrics::charWidth(uint32_t cp) const {
  int i = tableIndex(cp);
  if (i >= 0) return alphabetIndex(table_[i]);
  if (cp < 0x20 || cp == 0x200B || cp == 0xFEFF) return 0;
  return isWide(cp) ? metrics_.wideWidth : averageWidth_;
}

uint32_t TextMetrics::nextCodePoint(const std::string& s, size_t& i) {
  unsigned char c = static_cast<unsigned char>(s[i++]);
  if (c < 0x80) return c;
  int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : -1;
  if (extra < 0 || c >= 0xF8) return 0xFFFD;
  uint32_t cp = c & (0x3F >> extra);
  for (int k = 0; k < extra; ++k) {
    if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 0xFFFD;
    cp = (cp << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
  }
  return cp;
}

int TextMetrics::textWidth(const std::string& utf8, int size, bool bold) const {
  int sum = 0;
  bool ink = false;
  for (size_t i = 0; i < utf8.size();) {
    uint32_t cp = nextCodePoint(utf8, i);
    sum += charWidth(cp);
    if (cp != ' ') ink = true;
  }
  return scale(sum, size) + (bold && ink ? 1 : 0);
}

}  // namespace vesk
