#include "vwt/io/Reader.h"

#include <memory>

int Reader::read() {
  char16_t c;
  // A reader that gives nothing has ended: retrying would never return.
  return read(&c, 0, 1) == 1 ? static_cast<int>(c) : -1;
}

int64_t Reader::skip(int64_t n) {
  const int CHUNK = 65536;
  std::unique_ptr<char16_t[]> scratch(new char16_t[CHUNK + 1]);
  int64_t done = 0;
  while (done < n) {
    int want = n - done < CHUNK ? static_cast<int>(n - done) : CHUNK;
    int got = read(scratch.get(), 0, want);
    if (got <= 0) break;
    done += got;
  }
  return done;
}
