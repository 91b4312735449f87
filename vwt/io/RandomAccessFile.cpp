#include "vwt/io/RandomAccessFile.h"

#include "vwt/io/File.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"
#include "vwt/platform/Files.h"

void RandomAccessFile::open(const String& path) {
  close();
  int handle = -1;
  bool writable = false;
  int error;
  try {
    error = vwt::platform::openFileAt(File::toNativePath(path), &handle, &writable);
  } catch (const Exception&) {
    error = -1;  // a path the code page cannot hold names nothing
  }
  if (error != 0) throw Exception(Resource::getString(-500, path), static_cast<uint64_t>(error));
  handle_ = handle;
  writable_ = writable;
  path_ = path;
}

void RandomAccessFile::close() {
  if (handle_ >= 0) vwt::platform::closeFileAt(handle_);
  handle_ = -1;
  writable_ = false;
}

void RandomAccessFile::readFully(int64_t position, char* buf, int len) {
  if (handle_ < 0 || position < 0 || len < 0 || (!buf && len > 0)) throw Exception(Resource::getString(-501));
  if (len == 0) return;
  int n = vwt::platform::readFileAt(handle_, position, buf, len);
  if (n < 0) throw Exception(Resource::getString(-501));
  if (n < len) throw Exception(Resource::getString(-300));
}

void RandomAccessFile::write(int64_t position, const char* buf, int len) {
  if (handle_ < 0) throw Exception(Resource::getString(-601));
  if (!writable_) throw Exception(Resource::getString(-600, path_));
  if (len <= 0) return;
  if (!buf || position < 0) throw Exception(Resource::getString(-602));
  int error = vwt::platform::writeFileAt(handle_, position, buf, len);
  if (error != 0) throw Exception(Resource::getString(-602), static_cast<uint64_t>(error));
}
