#include "service/BookmarkStore.h"

#include "service/DataReader.h"
#include "service/DataWriter.h"
#include "service/ProtocolError.h"
#include "service/StateFile.h"

namespace vesk {

BookmarkStore::BookmarkStore(std::string folder) : folder_(std::move(folder)) {}

std::string BookmarkStore::pathOf(int32_t user) const {
  return folder_ + "/bookmarks-" + std::to_string(user) + ".bin";
}

BookmarkStore::Entry BookmarkStore::loadLocked(int32_t user) const {
  auto it = cache_.find(user);
  if (it != cache_.end()) return it->second;
  Entry e;
  std::string bytes;
  if (!folder_.empty() && StateFile::read(pathOf(user), bytes)) {
    try {
      DataReader r(bytes);
      e.version = r.readInt();
      int32_t n = r.readInt();
      if (n < 0 || static_cast<size_t>(n) > bytes.size()) throw ProtocolError("bad count");
      for (int32_t i = 0; i < n; ++i) e.list.push_back(r.readUTF());
    } catch (const ProtocolError&) {
      e = Entry();  // a damaged file counts as no list
    }
  }
  cache_[user] = e;
  return e;
}

BookmarkStore::Entry BookmarkStore::get(int32_t user) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return loadLocked(user);
}

BookmarkStore::Entry BookmarkStore::replace(int32_t user, std::vector<std::string> list) {
  std::lock_guard<std::mutex> lock(mutex_);
  Entry e = loadLocked(user);
  e.version += 1;
  e.list = std::move(list);
  cache_[user] = e;
  if (!folder_.empty()) {
    DataWriter w;
    w.writeInt(e.version);
    w.writeInt(static_cast<int32_t>(e.list.size()));
    for (const auto& s : e.list) w.writeUTF(s);
    StateFile::write(pathOf(user), w.bytes());
  }
  return e;
}

}  // namespace vesk
