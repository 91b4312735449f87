#include "vwt/net/URLEncoder.h"

#include <string>

#include "vwt/lang/AutoArrayPtr.h"

namespace {

bool keepsItself(unsigned char b) {
  return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || b == '.' || b == '-' ||
         b == '_' || b == '*';
}

bool isLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || b >= 0xE0; }

void appendEscaped(std::u16string& out, unsigned char b) {
  static const char16_t HEX[] = u"0123456789ABCDEF";
  out += u'%';
  out += HEX[b >> 4];
  out += HEX[b & 0xF];
}

}  // namespace

String URLEncoder::encode(const String& s) {
  if (s.isNull()) return String::null;
  int room = String::maxAsciiBytes(s.length()) + 1;
  AutoArrayPtr<char> bytes(new char[room]);
  int n = s.getCStringAsAscii(bytes.get(), room - 1);
  std::u16string out;
  out.reserve(n * 3);
  for (int i = 0; i < n; ++i) {
    unsigned char b = static_cast<unsigned char>(bytes.get()[i]);
    if (keepsItself(b)) {
      out += static_cast<char16_t>(b);
    } else if (b == ' ') {
      out += u'+';
    } else {
      appendEscaped(out, b);
      // A lead byte at the very end has no trail byte; the terminator is not one.
      if (isLeadByte(b) && i + 1 < n) appendEscaped(out, static_cast<unsigned char>(bytes.get()[++i]));
    }
  }
  return String(out.data(), 0, static_cast<int>(out.size()));
}
