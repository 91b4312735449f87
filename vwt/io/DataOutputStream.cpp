#include "vwt/io/DataOutputStream.h"

#include <climits>
#include <memory>

#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"

namespace {

// Images up to this size are built without touching the heap.
const int STACK_IMAGE = 1024;
const int MAX_UTF_LENGTH = 65535;

}  // namespace

DataOutputStream::DataOutputStream(OutputStream* sink) : FilterOutputStream(sink) {}

void DataOutputStream::writeBoolean(bool v) { sink_->write(v ? 1 : 0); }

void DataOutputStream::writeByte(int v) { sink_->write(v); }

void DataOutputStream::writeChar(int v) {
  char b[2] = {static_cast<char>(v >> 8), static_cast<char>(v)};
  sink_->write(b, 0, 2);
}

void DataOutputStream::writeShort(short v) { writeChar(v); }

void DataOutputStream::writeInt(int v) {
  uint32_t u = static_cast<uint32_t>(v);
  char b[4] = {static_cast<char>(u >> 24), static_cast<char>(u >> 16), static_cast<char>(u >> 8),
               static_cast<char>(u)};
  sink_->write(b, 0, 4);
}

void DataOutputStream::writeChars(const String& s) {
  const int n = s.length();
  if (n == 0) return;
  if (n > INT_MAX / 2) throw Exception(Resource::getString(-305));
  const char16_t* p = s.getCString();
  char stackImage[STACK_IMAGE];
  std::unique_ptr<char[]> heapImage;
  char* image = stackImage;
  if (2 * n > STACK_IMAGE) {
    heapImage.reset(new char[2 * n]);
    image = heapImage.get();
  }
  for (int i = 0; i < n; ++i) {
    image[2 * i] = static_cast<char>(p[i] >> 8);
    image[2 * i + 1] = static_cast<char>(p[i]);
  }
  sink_->write(image, 0, 2 * n);
}

int64_t DataOutputStream::getUTFLength(const String& s) {
  const char16_t* p = s.getCString();
  const int n = s.length();
  int64_t total = 0;
  for (int i = 0; i < n; ++i) {
    char16_t c = p[i];
    total += (c >= 0x0001 && c <= 0x007F) ? 1 : c <= 0x07FF ? 2 : 3;
  }
  return total;
}

void DataOutputStream::writeUTF(const String& s) {
  const char16_t* p = s.getCString();
  const int n = s.length();
  // At most three bytes a unit: short texts need no counting pass, the
  // count comes out of the encoding.
  int64_t capacity = 3 * static_cast<int64_t>(n);
  if (capacity > MAX_UTF_LENGTH) {
    capacity = getUTFLength(s);
    // The count is 16 bits; a larger text would leave a count that lies.
    if (capacity > MAX_UTF_LENGTH) throw Exception(Resource::getString(-304));
  }
  char stackImage[STACK_IMAGE];
  std::unique_ptr<char[]> heapImage;
  char* image = stackImage;
  if (2 + capacity > STACK_IMAGE) {
    heapImage.reset(new char[2 + capacity]);
    image = heapImage.get();
  }
  char* out = image + 2;
  for (int i = 0; i < n; ++i) {
    char16_t c = p[i];
    if (c >= 0x0001 && c <= 0x007F) {
      *out++ = static_cast<char>(c);
    } else if (c <= 0x07FF) {
      *out++ = static_cast<char>(0xC0 | (c >> 6 & 0x1F));
      *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
      *out++ = static_cast<char>(0xE0 | (c >> 12));
      *out++ = static_cast<char>(0x80 | (c >> 6 & 0x3F));
      *out++ = static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  const int length = static_cast<int>(out - image - 2);
  image[0] = static_cast<char>(length >> 8);
  image[1] = static_cast<char>(length);
  sink_->write(image, 0, 2 + length);
}

void DataOutputStream::close() {
  sink_->flush();
  sink_->close();
}
