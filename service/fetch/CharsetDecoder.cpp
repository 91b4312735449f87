#include "service/fetch/CharsetDecoder.h"

#include <errno.h>
#include <iconv.h>

#include <cstring>
#include <map>

#include "service/AsciiText.h"

namespace vesk {

namespace {

const size_t META_SCAN_BYTES = 4096;
const char REPLACEMENT[] = "\xEF\xBF\xBD";

bool labelChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' || c == ':';
}

// The label after "charset" at pos in lower-case text: optional blanks, '=', optional quote.
std::string labelAfter(const std::string& s, size_t pos) {
  size_t i = pos;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  if (i >= s.size() || s[i] != '=') return std::string();
  ++i;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '"' || s[i] == '\'')) ++i;
  size_t start = i;
  while (i < s.size() && labelChar(s[i])) ++i;
  return s.substr(start, i - start);
}

// Labels as browsers read them: the Japanese sets by their Microsoft supersets, Latin-1 and
// ASCII as windows-1252.
std::string iconvName(const std::string& label) {
  static const std::map<std::string, std::string> aliases = {
      {"utf8", "UTF-8"},          {"unicode-1-1-utf-8", "UTF-8"},
      {"shift_jis", "CP932"},     {"shift-jis", "CP932"},
      {"sjis", "CP932"},          {"x-sjis", "CP932"},
      {"ms_kanji", "CP932"},      {"windows-31j", "CP932"},
      {"csshiftjis", "CP932"},    {"cp932", "CP932"},
      {"euc-jp", "EUC-JP-MS"},    {"x-euc-jp", "EUC-JP-MS"},
      {"iso-8859-1", "CP1252"},   {"latin1", "CP1252"},
      {"iso8859-1", "CP1252"},    {"l1", "CP1252"},
      {"us-ascii", "CP1252"},     {"ascii", "CP1252"},
      {"windows-1252", "CP1252"}, {"cp1252", "CP1252"},
      {"x-cp1252", "CP1252"},     {"iso-2022-jp", "ISO-2022-JP-3"},
      {"gb2312", "GBK"},          {"x-gbk", "GBK"},
  };
  auto it = aliases.find(label);
  return it != aliases.end() ? it->second : label;
}

// Length of the valid UTF-8 sequence at p, or 0.
size_t utf8Sequence(const unsigned char* p, size_t left) {
  unsigned char c = p[0];
  if (c < 0x80) return 1;
  size_t n;
  unsigned min;
  unsigned cp;
  if ((c & 0xE0) == 0xC0) {
    n = 2, min = 0x80, cp = c & 0x1F;
  } else if ((c & 0xF0) == 0xE0) {
    n = 3, min = 0x800, cp = c & 0x0F;
  } else if ((c & 0xF8) == 0xF0) {
    n = 4, min = 0x10000, cp = c & 0x07;
  } else {
    return 0;
  }
  if (left < n) return 0;
  for (size_t i = 1; i < n; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (p[i] & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return n;
}

std::string sanitizeUtf8(const std::string& bytes) {
  std::string out;
  out.reserve(bytes.size());
  const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data());
  size_t i = 0;
  while (i < bytes.size()) {
    size_t n = utf8Sequence(p + i, bytes.size() - i);
    if (n == 0) {
      out += REPLACEMENT;
      ++i;
    } else {
      out.append(bytes, i, n);
      i += n;
    }
  }
  return out;
}

}  // namespace

bool CharsetDecoder::isUtf8(const std::string& bytes) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data());
  for (size_t i = 0; i < bytes.size();) {
    size_t n = utf8Sequence(p + i, bytes.size() - i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

std::string CharsetDecoder::fromContentType(const std::string& contentType) {
  std::string s = asciiLower(contentType);
  size_t semi = s.find(';');
  while (semi != std::string::npos) {
    size_t at = s.find("charset", semi);
    if (at == std::string::npos) break;
    std::string label = labelAfter(s, at + 7);
    if (!label.empty()) return label;
    semi = s.find(';', at);
  }
  return std::string();
}

std::string CharsetDecoder::fromMeta(const std::string& html) {
  std::string s = asciiLower(html.substr(0, META_SCAN_BYTES));
  size_t at = 0;
  while ((at = s.find("<meta", at)) != std::string::npos) {
    size_t end = s.find('>', at);
    std::string tag = s.substr(at, end == std::string::npos ? std::string::npos : end - at);
    // <meta charset="x"> and <meta http-equiv="Content-Type" content="text/html; charset=x">
    for (size_t c = tag.find("charset"); c != std::string::npos; c = tag.find("charset", c + 7)) {
      std::string label = labelAfter(tag, c + 7);
      if (!label.empty()) return label;
    }
    if (end == std::string::npos) break;
    at = end;
  }
  return std::string();
}

std::string CharsetDecoder::toUtf8(const std::string& bytes, const std::string& charset) {
  std::string name = iconvName(asciiLower(charset));
  if (name == "UTF-8" || name == "utf-8" || name.empty()) return sanitizeUtf8(bytes);
  iconv_t cd = iconv_open("UTF-8", name.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return sanitizeUtf8(bytes);
  std::string out;
  out.reserve(bytes.size() * 3 / 2 + 16);
  std::string in = bytes;
  char* inPtr = in.empty() ? nullptr : &in[0];
  size_t inLeft = in.size();
  char buf[4096];
  while (inLeft > 0) {
    char* outPtr = buf;
    size_t outLeft = sizeof buf;
    size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    out.append(buf, sizeof buf - outLeft);
    if (r == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      // EILSEQ or a sequence cut off at the end: one replacement, then go on after the byte
      out += REPLACEMENT;
      ++inPtr;
      --inLeft;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  // flush a shift state (ISO-2022-JP)
  char* outPtr = buf;
  size_t outLeft = sizeof buf;
  iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
  out.append(buf, sizeof buf - outLeft);
  iconv_close(cd);
  return sanitizeUtf8(out);
}

CharsetDecoder::Result CharsetDecoder::decode(const std::string& bytes, const std::string& contentTypeHeader,
                                              bool html) {
  Result r;
  if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    r.charset = "utf-8";
    r.text = sanitizeUtf8(bytes.substr(3));
    return r;
  }
  if (bytes.size() >= 2 && (bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0)) {
    r.charset = bytes[0] == '\xFF' ? "utf-16le" : "utf-16be";
    r.text = toUtf8(bytes.substr(2), r.charset);
    return r;
  }
  r.charset = fromContentType(contentTypeHeader);
  if (r.charset.empty() && html) r.charset = fromMeta(bytes);
  // A page that claims UTF-16 in its markup was readable as ASCII, so it is not UTF-16.
  if (r.charset.compare(0, 6, "utf-16") == 0 && !fromMeta(bytes).empty()) r.charset = "utf-8";
  if (r.charset.empty()) r.charset = isUtf8(bytes) ? "utf-8" : "windows-1252";
  r.text = toUtf8(bytes, r.charset);
  return r;
}

}  // namespace vesk
