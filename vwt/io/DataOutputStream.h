#pragma once

#include <cstdint>

#include "vwt/io/FilterOutputStream.h"
#include "vwt/lang/String.h"

// Writes big-endian integers and length-prefixed modified UTF-8 text; each
// value goes to the sink in one write. Owns the sink unless
// setDeleteSource(false).
class DataOutputStream : public FilterOutputStream {
 public:
  explicit DataOutputStream(OutputStream* sink);

  void writeBoolean(bool v);
  void writeByte(int v);
  // The low 16 bits.
  void writeChar(int v);
  void writeShort(short v);
  void writeInt(int v);
  // Every unit as two bytes, no length prefix.
  void writeChars(const String& s);
  // A 16-bit byte count, then modified UTF-8; -304 when the encoding needs
  // more than 65535 bytes (nothing is written then).
  void writeUTF(const String& s);
  // Flushes the sink, then closes it.
  void close() override;

 private:
  // Bytes of s in modified UTF-8.
  static int64_t getUTFLength(const String& s);
};
