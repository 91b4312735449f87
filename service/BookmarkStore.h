#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace vesk {

// Each user's bookmark list as last uploaded, with a version that grows on every change.
// One file per user under the state directory.
class BookmarkStore {
 public:
  struct Entry {
    int32_t version = 0;
    std::vector<std::string> list;  // title and entry alternating
  };

  explicit BookmarkStore(std::string folder);  // folder empty: memory only

  Entry get(int32_t user) const;
  Entry replace(int32_t user, std::vector<std::string> list);

 private:
  std::string pathOf(int32_t user) const;
  Entry loadLocked(int32_t user) const;

  std::string folder_;
  mutable std::mutex mutex_;
  mutable std::map<int32_t, Entry> cache_;
};

}  // namespace vesk
