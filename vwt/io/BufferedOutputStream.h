#pragma once

#include "vwt/io/FilterOutputStream.h"

// Writes to its sink in blocks of BUF_SIZE bytes. Owns the sink unless
// setDeleteSource(false). Bytes still buffered at destruction are dropped:
// call flush() or close().
class BufferedOutputStream : public FilterOutputStream {
 public:
  static constexpr int BUF_SIZE = 4096;

  explicit BufferedOutputStream(OutputStream* sink);

  using FilterOutputStream::write;
  void write(int b) override;
  void write(const char* buf, int off, int len) override;
  // Writes what is buffered, then flushes the sink.
  void flush() override;
  // flush(), then closes the sink.
  void close() override;

 private:
  void drain();

  char buffer_[BUF_SIZE];
  int count_;
};
