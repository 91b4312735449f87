#pragma once

#include "vwt/io/FilterInputStream.h"
#include "vwt/io/OutputStream.h"

// Copies every byte read from the source to a tie output. Owns the tie
// always, the source unless setDeleteSource(false).
class TieInputStream : public FilterInputStream {
 public:
  // tie may be null: the stream then only reads.
  TieInputStream(InputStream* source, OutputStream* tie);
  ~TieInputStream() override;

  using FilterInputStream::read;
  int read() override;
  int read(char* buf, int off, int len) override;
  // Reads through, so the tie sees the skipped bytes too.
  int64_t skip(int64_t n) override;
  // Closes the source, then the tie.
  void close() override;

  OutputStream* getTie() const { return tie_; }

 private:
  OutputStream* tie_;
};
