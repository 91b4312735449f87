#pragma once
// Files and directories of the host file system. Paths are in the ANSI code
// page, as the toolkit's file classes convert them.

#include <cstdint>
#include <string>
#include <vector>

namespace vwt {
namespace platform {

// Whether the path names anything; fills the kind and size when it does.
bool fileAttributes(const std::string& path, bool* isDirectory, int64_t* size);

// Each returns 0 on success or the errno value of the failure.
int makeDirectory(const std::string& path);
int removeFile(const std::string& path);
int removeDirectory(const std::string& path);
int moveFile(const std::string& from, const std::string& to);

// The process's current directory; empty when it cannot be read.
std::string currentDirectory();

struct DirectoryEntry {
  std::string name;
  bool isDirectory;
};
// The entries of a directory except "." and "..", in the order the system
// gives them. Returns 0 or the errno value of the failure.
int listDirectory(const std::string& path, std::vector<DirectoryEntry>* entries);

// A file kept open and read or written at explicit positions, with nothing
// buffered in the process. Opens an existing file for reading and writing,
// or for reading only when writing is not allowed (*writable tells which);
// 0 or the errno value.
int openFileAt(const std::string& path, int* handle, bool* writable);
// Bytes read at the position, fewer only at the end of the file; -1 with
// errno set on failure.
int readFileAt(int handle, int64_t position, char* buf, int len);
// Writes all len bytes at the position, growing the file when needed; 0 or
// the errno value.
int writeFileAt(int handle, int64_t position, const char* buf, int len);
void closeFileAt(int handle);

}  // namespace platform
}  // namespace vwt
