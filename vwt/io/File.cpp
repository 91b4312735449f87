#include "vwt/io/File.h"

#include <memory>

#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"
#include "vwt/platform/Files.h"

const String File::separator(u"/", false);
const char16_t File::separatorChar = u'/';

std::string File::toNativePath(const String& path) {
  int max = String::maxAsciiBytes(path.length());
  std::unique_ptr<char[]> buf(new char[max + 1]);
  int n = path.getCStringAsAscii(buf.get(), max);
  return std::string(buf.get(), static_cast<size_t>(n));
}

bool File::exists(const String& path) {
  try {
    return vwt::platform::fileAttributes(toNativePath(path), nullptr, nullptr);
  } catch (const Exception&) {
    return false;  // a path the code page cannot hold names nothing
  }
}

int File::length() const {
  int64_t size = 0;
  bool dir = false;
  try {
    if (!vwt::platform::fileAttributes(toNativePath(path_), &dir, &size)) return 0;
  } catch (const Exception&) {
    return 0;
  }
  return static_cast<int>(size & 0x7FFFFFFF);
}

bool File::isFile() const {
  bool dir = false;
  try {
    return vwt::platform::fileAttributes(toNativePath(path_), &dir, nullptr) && !dir;
  } catch (const Exception&) {
    return false;
  }
}

bool File::isDirectory() const {
  bool dir = false;
  try {
    return vwt::platform::fileAttributes(toNativePath(path_), &dir, nullptr) && dir;
  } catch (const Exception&) {
    return false;
  }
}

bool File::mkdir() const {
  if (exists()) return true;
  try {
    return vwt::platform::makeDirectory(toNativePath(path_)) == 0;
  } catch (const Exception&) {
    return false;
  }
}

bool File::mkdirs() const {
  int at = path_.indexOf(separatorChar);
  if (at < 0) return false;
  // Mostly the folders are there already: one look instead of one per level.
  int last = path_.lastIndexOf(separatorChar);
  if (last > 0 && File(path_.substring(0, last)).isDirectory()) return true;
  for (; at >= 0; at = path_.indexOf(separatorChar, at + 1)) {
    if (at == 0) continue;  // the root
    if (!File(path_.substring(0, at)).mkdir()) return false;
  }
  return true;
}

bool File::renameTo(const File& to) const {
  try {
    return vwt::platform::moveFile(toNativePath(path_), toNativePath(to.path_)) == 0;
  } catch (const Exception&) {
    return false;
  }
}

bool File::doDelete() const {
  try {
    std::string native = toNativePath(path_);
    bool dir = false;
    if (!vwt::platform::fileAttributes(native, &dir, nullptr)) return false;
    return (dir ? vwt::platform::removeDirectory(native) : vwt::platform::removeFile(native)) == 0;
  } catch (const Exception&) {
    return false;
  }
}

String File::getName() const {
  int n = path_.length();
  if (n == 0) return path_;
  if (path_.charAt(n - 1) == separatorChar) {
    int prev = n >= 2 ? path_.lastIndexOf(separatorChar, n - 2) : -1;
    return prev < 0 ? path_ : path_.substring(prev + 1);
  }
  int last = path_.lastIndexOf(separatorChar);
  return last < 0 ? path_ : path_.substring(last + 1);
}

String File::getNameNoExt() const {
  String name = getName();
  if (name.length() > 0 && name.charAt(name.length() - 1) == separatorChar)
    name = name.substring(0, name.length() - 1);
  int dot = name.lastIndexOf(u'.');
  return dot > 0 ? name.substring(0, dot) : name;
}

void File::list(FileType type, bool fullPath, VectorV<String>* out) const {
  std::vector<vwt::platform::DirectoryEntry> entries;
  int error = vwt::platform::listDirectory(toNativePath(path_), &entries);
  if (error) throw Exception(Resource::getString(-400, path_), static_cast<uint64_t>(error));
  for (const vwt::platform::DirectoryEntry& e : entries) {
    if (!(type & (e.isDirectory ? DIRECTORIES : FILES))) continue;
    String name(e.name.c_str());
    if (e.isDirectory) name = name + separatorChar;
    out->addElement(fullPath ? path_ + name : name);
  }
}
