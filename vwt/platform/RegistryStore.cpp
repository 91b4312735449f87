#include "vwt/platform/RegistryStore.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <mutex>

#include "vwt/platform/UserDirectories.h"

namespace vwt {
namespace platform {

namespace {

const char16_t* const ROOTS[] = {u"HKEY_CLASSES_ROOT", u"HKEY_CURRENT_USER", u"HKEY_LOCAL_MACHINE",
                                 u"HKEY_USERS"};
const char16_t SHELL_FOLDERS[] = u"HKEY_LOCAL_MACHINE\\System\\Explorer\\Shell Folders";
// A store file larger than this is not ours; it is left alone.
const long MAX_FILE_SIZE = 16L << 20;

std::mutex gLock;

std::u16string fold(const std::u16string& s) {
  std::u16string out(s);
  for (char16_t& c : out)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
  return out;
}

bool sameName(const std::u16string& a, const std::u16string& b) { return fold(a) == fold(b); }

std::string toUtf8(const std::u16string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    uint32_t c = s[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// Malformed sequences become U+FFFD.
std::u16string fromUtf8(const std::string& s) {
  std::u16string out;
  size_t i = 0;
  while (i < s.size()) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    size_t extra;
    uint32_t c;
    if (b < 0x80) {
      out += static_cast<char16_t>(b);
      ++i;
      continue;
    } else if ((b & 0xE0) == 0xC0) {
      extra = 1;
      c = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
      extra = 2;
      c = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
      extra = 3;
      c = b & 0x07;
    } else {
      out += u'\xFFFD';
      ++i;
      continue;
    }
    bool ok = i + extra < s.size();
    for (size_t k = 1; ok && k <= extra; ++k) {
      unsigned char n = static_cast<unsigned char>(s[i + k]);
      ok = (n & 0xC0) == 0x80;
      c = (c << 6) | (n & 0x3F);
    }
    if (!ok || c > 0x10FFFF) {
      out += u'\xFFFD';
      ++i;
      continue;
    }
    i += extra + 1;
    if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (c >> 10));
      out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
  }
  return out;
}

std::string toHex(const std::string& bytes) {
  static const char DIGITS[] = "0123456789abcdef";
  std::string out;
  for (unsigned char b : bytes) {
    out += DIGITS[b >> 4];
    out += DIGITS[b & 15];
  }
  return out;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool fromHex(const std::string& hex, std::string* bytes) {
  if (hex.size() % 2) return false;
  bytes->clear();
  for (size_t i = 0; i < hex.size(); i += 2) {
    int hi = hexDigit(hex[i]), lo = hexDigit(hex[i + 1]);
    if (hi < 0 || lo < 0) return false;
    *bytes += static_cast<char>(hi << 4 | lo);
  }
  return true;
}

std::string textValue(const std::string& utf8) {
  std::u16string units = fromUtf8(utf8);
  std::string data;
  for (char16_t u : units) {
    data += static_cast<char>(u & 0xFF);
    data += static_cast<char>(u >> 8);
  }
  data.append(2, '\0');
  return data;
}

bool storable(const std::u16string& s) {
  for (char16_t c : s)
    if (c == u'\n' || c == u'\r' || c == 0) return false;
  return true;
}

bool validKey(const std::u16string& key) {
  if (key.empty() || key.front() == u'\\' || key.back() == u'\\' || !storable(key)) return false;
  return key.find(u"\\\\") == std::u16string::npos;
}

std::u16string parentOf(const std::u16string& key) {
  size_t slash = key.rfind(u'\\');
  return slash == std::u16string::npos ? std::u16string() : key.substr(0, slash);
}

struct Key {
  std::u16string path;
  std::vector<RegistryData> values;
};

// The whole store as read from its file.
struct Store {
  std::vector<Key> keys;

  Key* find(const std::u16string& path) {
    std::u16string f = fold(path);
    for (Key& k : keys)
      if (fold(k.path) == f) return &k;
    return nullptr;
  }
  Key* create(const std::u16string& path) {
    if (Key* k = find(path)) return k;
    std::u16string parent = parentOf(path);
    if (!parent.empty()) create(parent);
    keys.push_back(Key{path, {}});
    return &keys.back();
  }
  bool exists(const std::u16string& path) {
    std::u16string f = fold(path);
    for (const char16_t* root : ROOTS)
      if (fold(root) == f) return true;
    for (Key& k : keys) {
      std::u16string kf = fold(k.path);
      if (kf == f || (kf.size() > f.size() && kf.compare(0, f.size(), f) == 0 && kf[f.size()] == u'\\'))
        return true;
    }
    return false;
  }
};

std::string storeDirectory() { return userConfigDirectory() + "/vesk"; }

// Lines: "[key]" opens a key; "type hexdata name" is a value of the last key.
// Lines that do not parse are skipped.
int load(Store* store) {
  store->keys.clear();
  FILE* f = fopen(registryFilePath().c_str(), "rb");
  if (!f) return errno == ENOENT ? 0 : errno;
  std::string text;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) {
    text.append(buf, n);
    if (static_cast<long>(text.size()) > MAX_FILE_SIZE) {
      fclose(f);
      return EFBIG;
    }
  }
  fclose(f);
  Key* current = nullptr;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[' && line.back() == ']') {
      std::u16string path = fromUtf8(line.substr(1, line.size() - 2));
      current = validKey(path) ? store->create(path) : nullptr;
      continue;
    }
    if (!current) continue;
    size_t s1 = line.find(' ');
    size_t s2 = s1 == std::string::npos ? s1 : line.find(' ', s1 + 1);
    if (s2 == std::string::npos || s1 == 0 || s1 > 10) continue;
    RegistryData v;
    char* stop = nullptr;
    std::string typeText = line.substr(0, s1);
    unsigned long type = strtoul(typeText.c_str(), &stop, 10);
    if (*stop || type > 0xFFFFFFFFul) continue;
    if (!fromHex(line.substr(s1 + 1, s2 - s1 - 1), &v.data)) continue;
    v.type = static_cast<uint32_t>(type);
    v.name = fromUtf8(line.substr(s2 + 1));
    bool replaced = false;
    for (RegistryData& old : current->values)
      if (sameName(old.name, v.name)) {
        old = v;
        replaced = true;
      }
    if (!replaced) current->values.push_back(v);
  }
  return 0;
}

int makeParents(const std::string& dir) {
  for (size_t i = 1; i <= dir.size(); ++i) {
    if (i < dir.size() && dir[i] != '/') continue;
    std::string part = dir.substr(0, i);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return errno;
  }
  return 0;
}

int save(const Store& store) {
  int error = makeParents(storeDirectory());
  if (error) return error;
  std::string text = "# Registry of the vwt toolkit: [key] lines, then \"type hexdata name\" lines.\n";
  for (const Key& k : store.keys) {
    text += "[" + toUtf8(k.path) + "]\n";
    for (const RegistryData& v : k.values)
      text += std::to_string(v.type) + " " + toHex(v.data) + " " + toUtf8(v.name) + "\n";
  }
  std::string path = registryFilePath();
  std::string temp = path + ".new" + std::to_string(getpid());
  FILE* f = fopen(temp.c_str(), "wb");
  if (!f) return errno;
  bool ok = fwrite(text.data(), 1, text.size(), f) == text.size();
  ok = fflush(f) == 0 && ok;
  error = ok ? 0 : errno;
  fclose(f);
  if (ok && rename(temp.c_str(), path.c_str()) != 0) error = errno;
  if (error) unlink(temp.c_str());
  return error;
}

// Holds the process lock and, for changes, a lock on a file beside the store
// so that two programs do not write at once.
class StoreLock {
 public:
  explicit StoreLock(bool forWriting) : guard_(gLock), fd_(-1) {
    if (!forWriting || makeParents(storeDirectory()) != 0) return;
    fd_ = open((storeDirectory() + "/registry.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ >= 0) flock(fd_, LOCK_EX);
  }
  ~StoreLock() {
    if (fd_ >= 0) close(fd_);  // releases the flock
  }

 private:
  std::lock_guard<std::mutex> guard_;
  int fd_;
};

void desktopFolders(std::vector<RegistryData>* values) {
  std::string data = userDataDirectory();
  values->push_back(RegistryData{u"Application Data", 1, textValue(data)});
  values->push_back(RegistryData{u"Favorites", 1, textValue(data + "/vesk/Favorites")});
}

bool isShellFolders(const std::u16string& key) { return sameName(key, SHELL_FOLDERS); }

// The stored values of a key with the desktop's folders added where they are
// missing.
std::vector<RegistryData> valuesOf(Store& store, const std::u16string& key) {
  std::vector<RegistryData> values;
  if (Key* k = store.find(key)) values = k->values;
  if (isShellFolders(key)) {
    std::vector<RegistryData> folders;
    desktopFolders(&folders);
    for (const RegistryData& d : folders) {
      bool present = false;
      for (const RegistryData& v : values) present = present || sameName(v.name, d.name);
      if (!present) values.push_back(d);
    }
  }
  return values;
}

bool existsIn(Store& store, const std::u16string& key) {
  if (store.exists(key)) return true;
  std::u16string f = fold(key), shell = fold(SHELL_FOLDERS);
  return shell == f ||
         (shell.size() > f.size() && shell.compare(0, f.size(), f) == 0 && shell[f.size()] == u'\\');
}

}  // namespace

std::string registryFilePath() { return storeDirectory() + "/registry.txt"; }

bool registryKeyExists(const std::u16string& key) {
  if (!validKey(key)) return false;
  StoreLock lock(false);
  Store store;
  if (load(&store) != 0) return false;
  return existsIn(store, key);
}

int registryCreateKey(const std::u16string& key) {
  if (!validKey(key)) return EINVAL;
  StoreLock lock(true);
  Store store;
  int error = load(&store);
  if (error) return error;
  if (store.find(key)) return 0;
  store.create(key);
  return save(store);
}

int registryReadValue(const std::u16string& key, const std::u16string& name, RegistryData* out) {
  if (!validKey(key)) return ENOENT;
  StoreLock lock(false);
  Store store;
  int error = load(&store);
  if (error) return error;
  for (const RegistryData& v : valuesOf(store, key))
    if (sameName(v.name, name)) {
      *out = v;
      return 0;
    }
  return ENOENT;
}

int registryWriteValue(const std::u16string& key, const RegistryData& value) {
  if (!validKey(key) || !storable(value.name)) return EINVAL;
  StoreLock lock(true);
  Store store;
  int error = load(&store);
  if (error) return error;
  Key* k = store.create(key);
  for (RegistryData& old : k->values)
    if (sameName(old.name, value.name)) {
      old = value;
      return save(store);
    }
  k->values.push_back(value);
  return save(store);
}

int registrySubkeys(const std::u16string& key, std::vector<std::u16string>* names) {
  if (!validKey(key)) return ENOENT;
  StoreLock lock(false);
  Store store;
  int error = load(&store);
  if (error) return error;
  if (!existsIn(store, key)) return ENOENT;
  std::vector<std::u16string> paths;
  for (const Key& k : store.keys) paths.push_back(k.path);
  paths.push_back(SHELL_FOLDERS);
  std::u16string f = fold(key) + u'\\';
  for (const std::u16string& p : paths) {
    std::u16string pf = fold(p);
    if (pf.size() <= f.size() || pf.compare(0, f.size(), f) != 0) continue;
    size_t end = p.find(u'\\', f.size());
    std::u16string child =
        p.substr(f.size(), end == std::u16string::npos ? std::u16string::npos : end - f.size());
    bool seen = false;
    for (const std::u16string& n : *names) seen = seen || sameName(n, child);
    if (!seen) names->push_back(child);
  }
  return 0;
}

int registryValues(const std::u16string& key, std::vector<RegistryData>* values) {
  if (!validKey(key)) return ENOENT;
  StoreLock lock(false);
  Store store;
  int error = load(&store);
  if (error) return error;
  if (!existsIn(store, key)) return ENOENT;
  *values = valuesOf(store, key);
  return 0;
}

}  // namespace platform
}  // namespace vwt
