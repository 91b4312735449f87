#include "vwt/net/InflaterInputStream.h"

#include <zlib.h>

#include <cstring>

#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"

struct InflaterInputStream::State {
  z_stream z;
};

namespace {

// The message text with zlib's own text (or none) as its argument.
Exception zlibError(int id, const char* zlibMessage) {
  return Exception(Resource::getString(id, zlibMessage ? String(zlibMessage) : String::null));
}

}  // namespace

InflaterInputStream::InflaterInputStream(InputStream* source)
    : FilterInputStream(source),
      input_(new char[BUFFER_SIZE]),
      output_(new char[BUFFER_SIZE]),
      state_(new State()),
      finished_(false) {
  z_stream& z = state_->z;
  z.zalloc = Z_NULL;
  z.zfree = Z_NULL;
  z.opaque = Z_NULL;
  z.next_in = Z_NULL;
  z.avail_in = 0;
  int rc = inflateInit2_(&z, 15, ZLIB_VERSION, static_cast<int>(sizeof(z_stream)));
  if (rc != Z_OK) {
    Exception e = zlibError(-700, z.msg ? z.msg : zError(rc));
    delete state_;
    state_ = nullptr;
    delete[] input_;
    delete[] output_;
    // The base destructor still runs and, by default, deletes the source.
    throw e;
  }
  z.next_out = reinterpret_cast<Bytef*>(output_);
  z.avail_out = BUFFER_SIZE;
}

InflaterInputStream::~InflaterInputStream() { dispose(); }

void InflaterInputStream::dispose() {
  if (!state_) return;
  inflateEnd(&state_->z);
  delete state_;
  state_ = nullptr;
  delete[] input_;
  delete[] output_;
  input_ = output_ = nullptr;
  held_ = heldEnd_ = nullptr;
}

void InflaterInputStream::close() {
  source_->close();
  dispose();
}

int InflaterInputStream::available() { return static_cast<int>(heldEnd_ - held_); }

int InflaterInputStream::readFully(char* buf, int off, int len) {
  int total = 0;
  while (total < len) {
    int n = source_->read(buf, off + total, len - total);
    if (n < 0) break;
    total += n;
  }
  return total;
}

int InflaterInputStream::read(char* buf, int off, int len) {
  if (len < 0 || off < 0 || (len > 0 && !buf)) throw Exception(Resource::getString(-305));
  if (len == 0) return 0;
  if (!state_) return -1;
  z_stream& z = state_->z;
  int delivered = 0;
  for (;;) {
    int ready = static_cast<int>(heldEnd_ - held_);
    int want = len - delivered;
    if (ready >= want) {
      memcpy(buf + off + delivered, held_, want);
      held_ += want;
      return len;
    }
    if (ready > 0) {
      memcpy(buf + off + delivered, held_, ready);
      delivered += ready;
    }
    held_ = heldEnd_ = output_;
    if (finished_) break;
    z.next_out = reinterpret_cast<Bytef*>(output_);
    z.avail_out = BUFFER_SIZE;
    if (z.avail_in == 0) {
      z.next_in = reinterpret_cast<Bytef*>(input_);
      z.avail_in = static_cast<uInt>(readFully(input_, 0, BUFFER_SIZE));
    }
    // Without new input zlib reports Z_BUF_ERROR: the source ended first.
    int rc = inflate(&z, Z_NO_FLUSH);
    if (rc == Z_STREAM_END)
      finished_ = true;
    else if (rc != Z_OK)
      throw zlibError(-701, z.msg ? z.msg : zError(rc));
    heldEnd_ = output_ + (BUFFER_SIZE - static_cast<int>(z.avail_out));
  }
  return delivered > 0 ? delivered : -1;
}
