#include "service/DataWriter.h"

#include <vector>

#include "service/ProtocolError.h"

namespace vesk {

namespace {

// UTF-8 to UTF-16 units; malformed sequences become U+FFFD so a fixture typo never aborts.
std::vector<char16_t> toUtf16(const std::string& s) {
  std::vector<char16_t> units;
  units.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    uint32_t cp = 0xFFFD;
    size_t len = 1;
    if (c < 0x80) {
      cp = c;
    } else if ((c & 0xE0) == 0xC0) {
      len = 2;
    } else if ((c & 0xF0) == 0xE0) {
      len = 3;
    } else if ((c & 0xF8) == 0xF0) {
      len = 4;
    }
    if (len > 1) {
      if (i + len > s.size()) {
        cp = 0xFFFD;
        len = 1;
      } else {
        cp = c & (0x7F >> len);
        bool ok = true;
        for (size_t k = 1; k < len; ++k) {
          unsigned char d = static_cast<unsigned char>(s[i + k]);
          if ((d & 0xC0) != 0x80) {
            ok = false;
            break;
          }
          cp = (cp << 6) | (d & 0x3F);
        }
        if (!ok) {
          cp = 0xFFFD;
          len = 1;
        }
      }
    }
    if (cp >= 0x10000 && cp <= 0x10FFFF) {
      cp -= 0x10000;
      units.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      units.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      units.push_back(static_cast<char16_t>(cp > 0xFFFF ? 0xFFFD : cp));
    }
    i += len;
  }
  return units;
}

}  // namespace

void DataWriter::writeInt(int32_t v) {
  uint32_t u = static_cast<uint32_t>(v);
  char b[4] = {static_cast<char>(u >> 24), static_cast<char>(u >> 16), static_cast<char>(u >> 8),
               static_cast<char>(u)};
  out_.append(b, 4);
}

void DataWriter::writeShort(int32_t v) {
  uint32_t u = static_cast<uint32_t>(v);
  out_.push_back(static_cast<char>(u >> 8));
  out_.push_back(static_cast<char>(u));
}

void DataWriter::writeByte(int32_t v) { out_.push_back(static_cast<char>(v & 0xFF)); }

std::string DataWriter::toModifiedUtf8(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char16_t c : toUtf16(text)) {
    if (c >= 0x0001 && c <= 0x007F) {
      out.push_back(static_cast<char>(c));
    } else if (c <= 0x07FF) {
      out.push_back(static_cast<char>(0xC0 | ((c >> 6) & 0x1F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

void DataWriter::writeUTF(const std::string& text) {
  bool ascii = true;
  for (char ch : text) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c == 0 || c >= 0x80) {
      ascii = false;
      break;
    }
  }
  if (ascii) {  // the common case needs no re-encoding
    if (text.size() > 0xFFFF) throw ProtocolError("text too long for a 16-bit count");
    writeShort(static_cast<int32_t>(text.size()));
    out_ += text;
    return;
  }
  std::string enc = toModifiedUtf8(text);
  if (enc.size() > 0xFFFF) throw ProtocolError("text too long for a 16-bit count");
  writeShort(static_cast<int32_t>(enc.size()));
  out_ += enc;
}

}  // namespace vesk
