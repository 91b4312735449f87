#pragma once

#include <cstdint>

#include "vwt/lang/String.h"

// A file kept open, read and written at explicit positions. Nothing is
// buffered in the process: a write has reached the system when it returns,
// and a read sees what the last write left. Closes the file when destroyed.
class RandomAccessFile {
 public:
  RandomAccessFile() : handle_(-1), writable_(false) {}
  ~RandomAccessFile() { close(); }
  RandomAccessFile(const RandomAccessFile&) = delete;
  RandomAccessFile& operator=(const RandomAccessFile&) = delete;

  // Closes a file opened before, then opens the existing file at path for
  // reading and writing, or for reading only where writing is not allowed;
  // throws -500 (path) when it cannot be opened.
  void open(const String& path);
  bool isOpen() const { return handle_ >= 0; }
  // Whether write() may succeed.
  bool isWritable() const { return handle_ >= 0 && writable_; }
  void close();

  // Exactly len bytes from position: -300 when the file ends before them,
  // -501 when closed or on a read error.
  void readFully(int64_t position, char* buf, int len);
  // All len bytes at position, the file growing when needed: -601 when
  // closed, -600 (the path) when opened for reading only, -602 on failure.
  void write(int64_t position, const char* buf, int len);

 private:
  int handle_;
  bool writable_;
  String path_;
};
