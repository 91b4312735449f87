#pragma once

#include "vwt/io/FilterInputStream.h"
#include "vwt/lang/String.h"

// Reads big-endian integers and length-prefixed modified UTF-8 text.
// Owns the source unless setDeleteSource(false). Every read* throws an
// Exception when the data ends early or is malformed.
class DataInputStream : public FilterInputStream {
 public:
  explicit DataInputStream(InputStream* source);

  // Exactly len bytes into buf[off..off+len); -305 for a negative off or len.
  void readFully(char* buf, int off, int len);
  // Any non-zero byte is true.
  bool readBoolean();
  char readByte();
  // Unsigned 16 bits.
  char16_t readChar();
  short readShort();
  int readInt();
  // An unsigned 16-bit byte count, then modified UTF-8.
  String readUTF();
};
