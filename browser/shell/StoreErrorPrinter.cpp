#include "browser/shell/StoreErrorPrinter.h"

#include <string>

#include "vwt/lang/Resource.h"

void StoreErrorPrinter::reportStoreError(const Exception& e) {
  print((Resource::getString(10201) + u" ") + e.getRawMessage());
}

void StoreErrorPrinter::reportStoreRepair(const String& text) { print(text); }

void StoreErrorPrinter::print(const String& text) {
  // UTF-8: the copy's path may hold any character.
  std::string line = "veskBrowserQK: ";
  for (int i = 0; i < text.length(); ++i) {
    uint32_t c = text.charAt(i);
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.length() && text.charAt(i + 1) >= 0xDC00 &&
        text.charAt(i + 1) <= 0xDFFF)
      c = 0x10000 + ((c - 0xD800) << 10) + (text.charAt(++i) - 0xDC00);
    if (c < 0x80) {
      line += static_cast<char>(c);
    } else if (c < 0x800) {
      line += static_cast<char>(0xC0 | c >> 6);
      line += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      line += static_cast<char>(0xE0 | c >> 12);
      line += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      line += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      line += static_cast<char>(0xF0 | c >> 18);
      line += static_cast<char>(0x80 | (c >> 12 & 0x3F));
      line += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      line += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  line += '\n';
  std::fputs(line.c_str(), out_);
  std::fflush(out_);
}
