#include "vwt/io/DataInputStream.h"

#include <memory>

#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"

namespace {

// Texts up to this many bytes decode without touching the heap.
const int kStackText = 512;

[[noreturn]] void fail(int id) { throw Exception(Resource::getString(id)); }

inline unsigned byteAt(const char* b, int i) { return static_cast<unsigned char>(b[i]); }

}  // namespace

DataInputStream::DataInputStream(InputStream* source) : FilterInputStream(source) {}

void DataInputStream::readFully(char* buf, int off, int len) {
  if (off < 0 || len < 0 || (!buf && len > 0)) fail(-305);
  int done = 0;
  while (done < len) {
    int n = source_->read(buf, off + done, len - done);
    if (n < 0) fail(-300);
    done += n;
  }
}

bool DataInputStream::readBoolean() {
  int b = source_->read();
  if (b < 0) fail(-301);
  return b != 0;
}

char DataInputStream::readByte() {
  int b = source_->read();
  if (b < 0) fail(-302);
  return static_cast<char>(b);
}

char16_t DataInputStream::readChar() {
  char b[2];
  readFully(b, 0, 2);
  return static_cast<char16_t>(byteAt(b, 0) << 8 | byteAt(b, 1));
}

short DataInputStream::readShort() { return static_cast<short>(readChar()); }

int DataInputStream::readInt() {
  char b[4];
  readFully(b, 0, 4);
  return static_cast<int>(byteAt(b, 0) << 24 | byteAt(b, 1) << 16 | byteAt(b, 2) << 8 | byteAt(b, 3));
}

String DataInputStream::readUTF() {
  const int count = readChar();
  if (count == 0) return String();

  char stackBytes[kStackText];
  char16_t stackUnits[kStackText];
  std::unique_ptr<char[]> heapBytes;
  std::unique_ptr<char16_t[]> heapUnits;
  char* bytes = stackBytes;
  char16_t* units = stackUnits;
  if (count > kStackText) {
    heapBytes.reset(new char[count]);
    heapUnits.reset(new char16_t[count]);
    bytes = heapBytes.get();
    units = heapUnits.get();
  }

  // Take what the source has, up to the count; an early end is reported
  // only where decoding reaches it, so a bad lead byte before it still
  // gives -303.
  int got = 0;
  while (got < count) {
    int n = source_->read(bytes, got, count - got);
    if (n < 0) break;
    got += n;
  }
  if (got > count) got = count;

  int i = 0;
  int u = 0;
  while (i < got) {
    unsigned c = byteAt(bytes, i);
    if (c < 0x80) {
      units[u++] = static_cast<char16_t>(c);
      ++i;
      continue;
    }
    int extra;
    if ((c & 0xE0) == 0xC0)
      extra = 1;
    else if ((c & 0xF0) == 0xE0)
      extra = 2;
    else
      fail(-303);
    // A unit never reaches past its count into the next record.
    if (i + extra >= count) fail(-303);
    if (i + extra >= got) fail(-302);
    if (extra == 1)
      units[u++] = static_cast<char16_t>((c & 0x1F) << 6 | (byteAt(bytes, i + 1) & 0x3F));
    else
      units[u++] = static_cast<char16_t>((c & 0x0F) << 12 | (byteAt(bytes, i + 1) & 0x3F) << 6 |
                                         (byteAt(bytes, i + 2) & 0x3F));
    i += extra + 1;
  }
  if (got < count) fail(-302);
  return String(units, 0, u);
}
