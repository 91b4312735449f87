#include "vwt/io/InputStream.h"

#include <memory>

int InputStream::read() {
  char c;
  for (;;) {
    int n = read(&c, 0, 1);
    if (n < 0) return -1;
    if (n > 0) return static_cast<unsigned char>(c);
  }
}

int64_t InputStream::skip(int64_t n) {
  const int CHUNK = 65536;
  std::unique_ptr<char[]> scratch(new char[CHUNK]);
  int64_t done = 0;
  while (done < n) {
    int64_t want = n - done < CHUNK ? n - done : CHUNK;
    int got = read(scratch.get(), 0, static_cast<int>(want));
    if (got < 0) break;
    done += got;
  }
  return done;
}
