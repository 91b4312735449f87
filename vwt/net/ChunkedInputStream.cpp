#include "vwt/net/ChunkedInputStream.h"

#include "vwt/io/InputStreamReader.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Integer.h"
#include "vwt/lang/Resource.h"

namespace {

// A chunk-size line cut at its first ';' as a size: -1 when it is no
// size at all or does not fit an int; 0 when it does not start with a digit.
int parseChunkSize(const String& line) {
  int semicolon = line.indexOf(u';');
  String text = (semicolon < 0 ? line : line.substring(0, semicolon)).trim();
  const char16_t* p = text.getCString();
  int64_t size = 0;
  for (int d; (d = Integer::hexDigit(*p)) >= 0; ++p) {
    size = size * 16 + d;
    if (size > 0x7FFFFFFF) return -1;
  }
  return static_cast<int>(size);
}

}  // namespace

ChunkedInputStream::ChunkedInputStream(InputStream* source)
    : FilterInputStream(source), chunkSize_(0), chunkPosition_(0), ended_(false) {}

int ChunkedInputStream::available() {
  if (ended_) return 0;
  int rest = chunkSize_ - chunkPosition_;
  int ready = source_->available();
  return rest < ready ? rest : ready;
}

int ChunkedInputStream::read(char* buf, int off, int len) {
  if (ended_) return -1;
  if (!buf || off < 0 || len <= 0) return 0;
  int copied = 0;
  while (copied < len) {
    int wanted = len - copied;
    int rest = chunkSize_ - chunkPosition_;
    if (rest >= wanted) {
      readChunkBytes(buf + off + copied, wanted);
      copied += wanted;
      break;
    }
    readChunkBytes(buf + off + copied, rest);
    copied += rest;
    if (!nextChunk()) {
      ended_ = true;
      break;
    }
  }
  return copied > 0 ? copied : -1;
}

void ChunkedInputStream::readChunkBytes(char* buf, int len) {
  int got = 0;
  while (got < len) {
    int n = source_->read(buf, got, len - got);
    if (n <= 0) throw Exception(Resource::getString(-100));
    got += n;
  }
  chunkPosition_ += len;
}

bool ChunkedInputStream::nextChunk() {
  InputStreamReader reader(source_, String::DEFAULT);
  reader.setDeleteSource(false);
  String line;
  do {
    if (!reader.readLine(line)) return false;
  } while (line.isNull());
  int size = parseChunkSize(line);
  if (size < 0) throw Exception(Resource::getString(-100));
  if (size == 0) return false;
  chunkSize_ = size;
  chunkPosition_ = 0;
  return true;
}
