#include "vwt/io/DataInputStream.h"

#include <cstdint>
#include <cstring>
#include <memory>

#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"

namespace {

// Texts up to this many bytes decode without touching the heap.
const int STACK_TEXT = 512;

[[noreturn]] void fail(int id) { throw Exception(Resource::getString(id)); }

// A unit that cannot be decoded at i: a bad lead byte, or one whose unit
// would reach past the count into the next record, is malformed (-303); one
// cut off where the data ended early is -302.
[[noreturn]] void failUnit(unsigned lead, int i, int count) {
  int extra = (lead & 0xE0) == 0xC0 ? 1 : (lead & 0xF0) == 0xE0 ? 2 : 0;
  if (extra == 0 || i + extra >= count) fail(-303);
  fail(-302);
}

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

bool DataInputStream::readBooleanSlow() {
  int b = source_->read();
  if (b < 0) fail(-301);
  return b != 0;
}

char DataInputStream::readByteSlow() {
  int b = source_->read();
  if (b < 0) fail(-302);
  return static_cast<char>(b);
}

const char* DataInputStream::readSlow(int n) {
  readFully(scratch_, 0, n);
  return scratch_;
}

String DataInputStream::readUTF() {
  const int count = readChar();
  if (count == 0) return String();
  if (const char* held = source_->takeHeld(count)) return decodeUTF(held, count, count);

  char stackBytes[STACK_TEXT];
  std::unique_ptr<char[]> heapBytes;
  char* bytes = stackBytes;
  if (count > STACK_TEXT) {
    heapBytes.reset(new char[count]);
    bytes = heapBytes.get();
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
  return decodeUTF(bytes, got, count);
}

String DataInputStream::decodeUTF(const char* bytes, int got, int count) {
  char16_t stackUnits[STACK_TEXT];
  std::unique_ptr<char16_t[]> heapUnits;
  char16_t* units = stackUnits;
  if (got > STACK_TEXT) {
    heapUnits.reset(new char16_t[got]);
    units = heapUnits.get();
  }

  int i = 0;
  int u = 0;
  while (i < got) {
    // Runs of ASCII, the common case, eight bytes at a time: all eight are
    // widened, and the units up to the first non-ASCII byte kept (u <= i, so
    // the eight fit the buffer).
    bool multiByte = false;
    while (i + 8 <= got) {
      uint64_t eight;
      memcpy(&eight, bytes + i, 8);
      for (int j = 0; j < 8; ++j) units[u + j] = static_cast<char16_t>(byteAt(bytes, i + j));
      uint64_t high = eight & 0x8080808080808080ull;
      if (high == 0) {
        i += 8;
        u += 8;
        continue;
      }
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
      int ascii = __builtin_ctzll(high) >> 3;  // bytes before the first with its high bit set
      i += ascii;
      u += ascii;
      multiByte = true;
#endif
      break;
    }
    if (i == got) break;
    unsigned c = byteAt(bytes, i);
    if (!multiByte && c < 0x80) {
      units[u++] = static_cast<char16_t>(c);
      ++i;
    } else if ((c & 0xF0) == 0xE0 && i + 2 < got) {
      units[u++] = static_cast<char16_t>((c & 0x0F) << 12 | (byteAt(bytes, i + 1) & 0x3F) << 6 |
                                         (byteAt(bytes, i + 2) & 0x3F));
      i += 3;
    } else if ((c & 0xE0) == 0xC0 && i + 1 < got) {
      units[u++] = static_cast<char16_t>((c & 0x1F) << 6 | (byteAt(bytes, i + 1) & 0x3F));
      i += 2;
    } else {
      failUnit(c, i, count);
    }
  }
  if (got < count || u == 0) fail(-302);
  return String(units, 0, u);
}
