#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>

#include "service/ServedPage.h"

namespace vesk {

// The last pages served to each user, by page id, for their "c=I" and "c=F" follow-ups.
class PageMemory {
 public:
  static constexpr size_t PAGES_PER_USER = 8;

  int32_t remember(int32_t user, std::shared_ptr<const ServedPage> page);  // returns the new page id
  std::shared_ptr<const ServedPage> find(int32_t user, int32_t pageId) const;

 private:
  mutable std::mutex mutex_;
  int32_t nextId_ = 1;
  std::map<int32_t, std::deque<std::pair<int32_t, std::shared_ptr<const ServedPage>>>> pages_;
};

}  // namespace vesk
