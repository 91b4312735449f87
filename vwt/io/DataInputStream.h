#pragma once

#include "vwt/io/FilterInputStream.h"
#include "vwt/lang/String.h"

// Reads big-endian integers and length-prefixed modified UTF-8 text.
// Owns the source unless setDeleteSource(false). Every read* throws an
// Exception when the data ends early or is malformed.
//
// Bytes the source already holds in memory are taken without a virtual call
// (a page description is read a few bytes at a time, millions of times).
class DataInputStream : public FilterInputStream {
 public:
  explicit DataInputStream(InputStream* source);

  // Exactly len bytes into buf[off..off+len); -305 for a negative off or len.
  void readFully(char* buf, int off, int len);
  // Any non-zero byte is true.
  bool readBoolean() {
    const char* p = source_->takeHeld(1);
    return p ? *p != 0 : readBooleanSlow();
  }
  char readByte() {
    const char* p = source_->takeHeld(1);
    return p ? *p : readByteSlow();
  }
  // Unsigned 16 bits.
  char16_t readChar() {
    const char* p = source_->takeHeld(2);
    if (!p) p = readSlow(2);
    return static_cast<char16_t>(byteAt(p, 0) << 8 | byteAt(p, 1));
  }
  short readShort() { return static_cast<short>(readChar()); }
  int readInt() {
    const char* p = source_->takeHeld(4);
    if (!p) p = readSlow(4);
    return static_cast<int>(byteAt(p, 0) << 24 | byteAt(p, 1) << 16 | byteAt(p, 2) << 8 | byteAt(p, 3));
  }
  // An unsigned 16-bit byte count, then modified UTF-8.
  String readUTF();

 private:
  static unsigned byteAt(const char* p, int i) { return static_cast<unsigned char>(p[i]); }
  bool readBooleanSlow();
  char readByteSlow();
  // Reads n (at most 4) bytes through the source into scratch_.
  const char* readSlow(int n);
  // Decodes count bytes of modified UTF-8 of which got arrived.
  static String decodeUTF(const char* bytes, int got, int count);

  char scratch_[4];
};
