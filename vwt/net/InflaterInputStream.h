#pragma once

#include "vwt/io/FilterInputStream.h"

// Decompresses a zlib-format stream (zlib header and Adler-32 trailer; not
// raw deflate, not gzip) read from its source, which it owns unless
// setDeleteSource(false). Input is pulled in blocks of 1024 bytes and
// inflated into a 1024-byte window.
//
// Corrupt data, or a source that ends before the compressed stream does,
// throws -701 with zlib's own text as the argument.
class InflaterInputStream : public FilterInputStream {
 public:
  // Throws -700 when zlib cannot be set up.
  explicit InflaterInputStream(InputStream* source);
  InflaterInputStream(const InflaterInputStream&) = delete;
  InflaterInputStream& operator=(const InflaterInputStream&) = delete;
  ~InflaterInputStream() override;

  using FilterInputStream::read;
  // Up to len decompressed bytes; -1 once everything has been delivered or
  // after close().
  int read(char* buf, int off, int len) override;
  // Decompressed bytes ready without inflating more.
  int available() override;
  // Closes the source, then releases zlib and the buffers.
  void close() override;

 private:
  enum { BUFFER_SIZE = 1024 };
  struct State;  // the zlib stream

  // Reads from the source until len bytes or its end; the count read.
  int readFully(char* buf, int off, int len);
  // Releases zlib and the buffers, once.
  void dispose();

  char* input_;   // owned, BUFFER_SIZE
  char* output_;  // owned, BUFFER_SIZE; the held bytes lie in it
  State* state_;  // owned; null once disposed
  bool finished_;
};
