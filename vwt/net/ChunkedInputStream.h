#pragma once

#include "vwt/io/FilterInputStream.h"

// The body of a chunked HTTP response. Owns its source unless
// setDeleteSource(false). Throws -100 when the body ends inside a chunk or
// a chunk-size line is not a size.
class ChunkedInputStream : public FilterInputStream {
 public:
  explicit ChunkedInputStream(InputStream* source);

  using FilterInputStream::read;
  // Fills buf[off..off+len) across chunks until the body ends; the count,
  // or -1 when the body had ended.
  int read(char* buf, int off, int len) override;
  // Only the rest of the current chunk is known.
  int available() override;

 private:
  // Exactly len bytes of the current chunk; -100 when the source ends.
  void readChunkBytes(char* buf, int len);
  // The next chunk-size line; false when the body ends.
  bool nextChunk();

  int chunkSize_;
  int chunkPosition_;
  bool ended_;
};
