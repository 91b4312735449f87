#pragma once

#include "vwt/io/FilterInputStream.h"

// The received bytes of an HTTP response. The header is read line by line;
// taken from the socket one byte at a time it would cost a receive per byte,
// so the bytes come in blocks of up to BUF_SIZE, and what a block holds
// after the header's blank line is the body's first bytes: the body reads
// them before anything else. Each read receives at most once, as the socket
// does, so it never waits for more bytes than the next ones to arrive. Owns
// its source unless setDeleteSource(false).
class ResponseInputStream : public FilterInputStream {
 public:
  static const int BUF_SIZE = 4096;

  explicit ResponseInputStream(InputStream* source);

  using FilterInputStream::available;
  // The held bytes, or when none what the source has ready.
  int available() override;
  // Drops the held bytes and closes the source.
  void close() override;
  int read() override;
  // The held bytes first; then one source read, straight into buf when
  // len is at least a block.
  int read(char* buf, int off, int len) override;
  int64_t skip(int64_t n) override;

 private:
  // One source read into the buffer: its count, or -1 at the end.
  int fill();

  char buffer_[BUF_SIZE];
};
