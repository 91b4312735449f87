#include "browser/page/TextWrapper.h"

#include <cstdint>

bool TextWrapper::isHalfWidth(char16_t c) {
  if (c >= 0xFF61 && c <= 0xFF9F) return true;  // half-width katakana
  if (c > 255) return false;
  return c <= 161 || (c >= 164 && c <= 166) || (c >= 169 && c <= 171) || (c >= 173 && c <= 175) || c == 178 ||
         c == 179 || c == 181 || (c >= 183 && c <= 214) || (c >= 216 && c <= 246) || c >= 248;
}

std::vector<String> TextWrapper::wrap(const String& text, int availableWidth, int lineHeight) {
  std::vector<String> lines;
  const int n = text.length();
  // Widths in half line heights keep the arithmetic whole.
  const int64_t limit = 2 * static_cast<int64_t>(availableWidth);
  const int64_t half = lineHeight > 0 ? lineHeight : 1;
  int start = 0;
  int64_t run = 0;
  auto emit = [&](int end) {
    int stop = end;
    if (stop > start && text.charAt(stop - 1) == u'\r') --stop;
    lines.push_back(text.substring(start, stop));
  };
  for (int i = 0; i < n; ++i) {
    char16_t c = text.charAt(i);
    if (c == u'\n') {
      // A line feed that opens the text (alone or after a carriage return) makes no empty first line.
      if (i == 0 || (i == 1 && text.charAt(0) == u'\r')) {
        start = i + 1;
        run = 0;
        continue;
      }
      emit(i);
      start = i + 1;
      run = 0;
      continue;
    }
    int64_t w = isHalfWidth(c) ? half : 2 * half;
    if (run + w > limit && i > start) {
      emit(i);
      start = i;
      run = 0;
    }
    run += w;
  }
  emit(n);
  return lines;
}
