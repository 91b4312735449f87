#include "vwt/platform/Files.h"

#include <dirent.h>
#include <errno.h>
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

}  // namespace platform
}  // namespace vwt
