#pragma once

#include "vwt/io/FilterInputStream.h"

// Reads its source in blocks of BUF_SIZE bytes. Owns the source unless
// setDeleteSource(false).
class BufferedInputStream : public FilterInputStream {
 public:
  static constexpr int BUF_SIZE = 4096;

  explicit BufferedInputStream(InputStream* source);

  using FilterInputStream::available;
  // The buffered bytes not yet consumed.
  int available() override;
  void close() override;
  int read() override;
  // Keeps refilling until len bytes are copied or the source ends.
  int read(char* buf, int off, int len) override;
  // Drops buffered bytes first, so the skipped bytes are the next ones.
  int64_t skip(int64_t n) override;

 private:
  // One source read into the buffer; false at the end of the source.
  bool fill();

  char buffer_[BUF_SIZE];
  int pos_;
  int count_;
};
