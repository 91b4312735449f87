#include "vwt/io/FileInputStream.h"

#include "vwt/io/File.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"

FileInputStream::FileInputStream(const String& path) : file_(nullptr) { open(path); }

void FileInputStream::open(const String& path) {
  close();
  file_ = std::fopen(File::toNativePath(path).c_str(), "rb");
  if (!file_) throw Exception(Resource::getString(-500, path));
}

int FileInputStream::read(char* buf, int off, int len) {
  if (!file_ || !buf || off < 0 || len < 0) throw Exception(Resource::getString(-501));
  if (len == 0) return 0;
  size_t n = std::fread(buf + off, 1, static_cast<size_t>(len), file_);
  if (n > 0) return static_cast<int>(n);
  if (std::ferror(file_)) throw Exception(Resource::getString(-501));
  return -1;
}

int64_t FileInputStream::skip(int64_t n) {
  if (!file_ || std::fseek(file_, static_cast<long>(n), SEEK_CUR) != 0)
    throw Exception(Resource::getString(-502));
  return n;
}

void FileInputStream::close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}
