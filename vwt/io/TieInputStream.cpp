#include "vwt/io/TieInputStream.h"

TieInputStream::TieInputStream(InputStream* source, OutputStream* tie)
    : FilterInputStream(source), tie_(tie) {}

TieInputStream::~TieInputStream() { delete tie_; }

int TieInputStream::read() {
  int b = source_->read();
  if (b >= 0 && tie_) tie_->write(b);
  return b;
}

int TieInputStream::read(char* buf, int off, int len) {
  int n = source_->read(buf, off, len);
  if (n > 0 && tie_) tie_->write(buf, off, n);
  return n;
}

int64_t TieInputStream::skip(int64_t n) { return InputStream::skip(n); }

void TieInputStream::close() {
  source_->close();
  if (tie_) tie_->close();
}
