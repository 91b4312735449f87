#include "vwt/io/InputStreamReader.h"

#include <string>

#include "vwt/lang/Exception.h"
#include "vwt/lang/Integer.h"
#include "vwt/lang/Resource.h"

InputStreamReader::InputStreamReader(InputStream* source, String::CharsetType encoding)
    : source_(source), encoding_(encoding), deleteSource_(true), lineCount_(0) {}

InputStreamReader::~InputStreamReader() {
  if (deleteSource_) delete source_;
}

bool InputStreamReader::readLine(String& line) {
  ++lineCount_;
  line = String::null;
  if (encoding_ == String::DEFAULT) {
    std::string bytes;
    int b = source_->read();
    if (b < 0) return false;
    for (; b >= 0 && b != '\n'; b = source_->read()) {
      if (b == '\r') continue;
      if (static_cast<int>(bytes.size()) >= MAX_LINE_LENGTH)
        throw Exception(Resource::getString(-802, String(MAX_LINE_LENGTH)));
      bytes += static_cast<char>(b);
    }
    if (!bytes.empty()) line = String(bytes.c_str());
    return true;
  }
  std::u16string units;
  int c = read();
  if (c < 0) return false;
  for (; c >= 0 && c != '\n'; c = read()) {
    if (c == '\r' || (c == 0xFEFF && lineCount_ == 1)) continue;
    if (static_cast<int>(units.size()) >= MAX_LINE_LENGTH)
      throw Exception(Resource::getString(-802, String(MAX_LINE_LENGTH)));
    units += static_cast<char16_t>(c);
  }
  if (!units.empty()) line = String(units.data(), 0, static_cast<int>(units.size()));
  return true;
}

int InputStreamReader::read() {
  if (encoding_ == String::UTF8) return readUtf8();
  if (encoding_ == String::UTF16LE) return readUnicode16Le();
  return -1;
}

int InputStreamReader::read(char16_t* buf, int off, int len) {
  if (!buf || off < 0 || len <= 0) return 0;
  int n = 0;
  while (n < len) {
    int c = read();
    if (c < 0) break;
    buf[off + n++] = static_cast<char16_t>(c);
  }
  // The terminator only fits when the text is shorter than the room asked for.
  if (n < len) buf[off + n] = 0;
  return n;
}

bool InputStreamReader::ready() const { return source_->available() > 0; }

int InputStreamReader::readUtf8() {
  int lead = source_->read();
  if (lead < 0) return -1;
  if (lead < 0x80) return lead;
  int more;
  int value;
  if ((lead & 0xE0) == 0xC0) {
    more = 1;
    value = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    more = 2;
    value = lead & 0x0F;
  } else {
    throw Exception(Resource::getString(-801, Integer::toHexString(lead, 2)));
  }
  while (more-- > 0) {
    int b = source_->read();
    if (b < 0) throw Exception(Resource::getString(-800));
    value = (value << 6) | (b & 0x3F);
  }
  return value & 0xFFFF;
}

int InputStreamReader::readUnicode16Le() {
  char two[2];
  int got = 0;
  while (got < 2) {
    int n = source_->read(two, got, 2 - got);
    if (n <= 0) break;
    got += n;
  }
  if (got < 2) return -1;
  return static_cast<unsigned char>(two[0]) | static_cast<unsigned char>(two[1]) << 8;
}
