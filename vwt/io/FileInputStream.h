#pragma once

#include <cstdio>

#include "vwt/io/InputStream.h"
#include "vwt/lang/String.h"

// The bytes of a file. Closes the file when destroyed.
class FileInputStream : public InputStream {
 public:
  FileInputStream() : file_(nullptr) {}
  // Throws -500 when the file cannot be opened.
  explicit FileInputStream(const String& path);
  FileInputStream(const FileInputStream&) = delete;
  FileInputStream& operator=(const FileInputStream&) = delete;
  ~FileInputStream() override { close(); }

  // Closes a file opened before, then opens path; throws -500.
  void open(const String& path);
  using InputStream::read;
  // One library read of up to len bytes: the count, or -1 at the end of
  // the file. Throws -501 when closed or on a read error.
  int read(char* buf, int off, int len) override;
  // Moves forward by n bytes; throws -502.
  int64_t skip(int64_t n) override;
  void close() override;
  bool isOpen() const { return file_ != nullptr; }

 private:
  std::FILE* file_;
};
