#pragma once

#include <cstdint>
#include <cstdio>

#include "vwt/io/OutputStream.h"
#include "vwt/lang/String.h"

// Writes a file. The flags choose the mode: neither creates or empties the
// file; append creates it when missing and writes at its end; update opens
// an existing file at its start without emptying it; both create it when
// missing and write at its end. Closes the file when destroyed.
class FileOutputStream : public OutputStream {
 public:
  // Throws -600 when the file cannot be opened.
  explicit FileOutputStream(const String& path, bool append = false, bool update = false);
  FileOutputStream(const FileOutputStream&) = delete;
  FileOutputStream& operator=(const FileOutputStream&) = delete;
  ~FileOutputStream() override { close(); }

  using OutputStream::write;
  // All bytes or an Exception (-601 closed, -602 short write).
  void write(const char* buf, int off, int len) override;
  // Throws -603 when closed, -604 when the flush fails.
  void flush() override;
  // Moves forward by n bytes; throws -605 when closed, -606 on failure.
  int64_t skip(int64_t n);
  void close() override;

 private:
  std::FILE* file_;
};
