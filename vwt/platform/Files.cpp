#include "vwt/platform/Files.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vwt {
namespace platform {

bool fileAttributes(const std::string& path, bool* isDirectory, int64_t* size) {
  struct stat st;
  if (path.empty() || stat(path.c_str(), &st) != 0) return false;
  if (isDirectory) *isDirectory = S_ISDIR(st.st_mode);
  if (size) *size = static_cast<int64_t>(st.st_size);
  return true;
}

int makeDirectory(const std::string& path) { return mkdir(path.c_str(), 0777) == 0 ? 0 : errno; }

int removeFile(const std::string& path) { return unlink(path.c_str()) == 0 ? 0 : errno; }

int removeDirectory(const std::string& path) { return rmdir(path.c_str()) == 0 ? 0 : errno; }

int moveFile(const std::string& from, const std::string& to) {
  return rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

std::string currentDirectory() {
  char buf[4096];
  return getcwd(buf, sizeof buf) ? std::string(buf) : std::string();
}

int listDirectory(const std::string& path, std::vector<DirectoryEntry>* entries) {
  DIR* dir = opendir(path.empty() ? "." : path.c_str());
  if (!dir) return errno;
  std::string prefix = path;
  if (!prefix.empty() && prefix.back() != '/') prefix += '/';
  for (;;) {
    errno = 0;
    dirent* e = readdir(dir);
    if (!e) break;
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    bool isDir;
    if (e->d_type == DT_DIR) {
      isDir = true;
    } else if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
      struct stat st;
      isDir = stat((prefix + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    } else {
      isDir = false;
    }
    entries->push_back(DirectoryEntry{name, isDir});
  }
  int error = errno;
  closedir(dir);
  return error;
}

int openFileAt(const std::string& path, int* handle, bool* writable) {
  int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
  *writable = fd >= 0;
  if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM))
    fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  *handle = fd;
  return 0;
}

int readFileAt(int handle, int64_t position, char* buf, int len) {
  int got = 0;
  while (got < len) {
    ssize_t n = pread(handle, buf + got, static_cast<size_t>(len - got), static_cast<off_t>(position + got));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    got += static_cast<int>(n);
  }
  return got;
}

int writeFileAt(int handle, int64_t position, const char* buf, int len) {
  int done = 0;
  while (done < len) {
    ssize_t n =
        pwrite(handle, buf + done, static_cast<size_t>(len - done), static_cast<off_t>(position + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? errno : EIO;
    done += static_cast<int>(n);
  }
  return 0;
}

void closeFileAt(int handle) { close(handle); }

}  // namespace platform
}  // namespace vwt
