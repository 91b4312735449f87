#include "vwt/io/FileOutputStream.h"

#include <cerrno>

#include "vwt/io/File.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"

FileOutputStream::FileOutputStream(const String& path, bool append, bool update) : file_(nullptr) {
  const char* mode = append ? (update ? "ab+" : "ab") : (update ? "rb+" : "wb");
  file_ = std::fopen(File::toNativePath(path).c_str(), mode);
  if (!file_) throw Exception(Resource::getString(-600, path));
}

void FileOutputStream::write(const char* buf, int off, int len) {
  if (!file_) throw Exception(Resource::getString(-601));
  if (len <= 0) return;
  if (!buf || off < 0 ||
      std::fwrite(buf + off, 1, static_cast<size_t>(len), file_) != static_cast<size_t>(len))
    throw Exception(Resource::getString(-602));
}

void FileOutputStream::flush() {
  if (!file_) throw Exception(Resource::getString(-603));
  if (std::fflush(file_) != 0) throw Exception(Resource::getString(-604), static_cast<uint64_t>(errno));
}

int64_t FileOutputStream::skip(int64_t n) {
  if (!file_) throw Exception(Resource::getString(-605));
  if (std::fseek(file_, static_cast<long>(n), SEEK_CUR) != 0)
    throw Exception(Resource::getString(-606), static_cast<uint64_t>(errno));
  return n;
}

void FileOutputStream::close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}
