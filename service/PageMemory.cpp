#include "service/PageMemory.h"

namespace vesk {

int32_t PageMemory::remember(int32_t user, std::shared_ptr<const ServedPage> page) {
  std::lock_guard<std::mutex> lock(mutex_);
  int32_t id = nextId_;
  nextId_ = nextId_ == INT32_MAX ? 1 : nextId_ + 1;
  auto& list = pages_[user];
  list.emplace_back(id, std::move(page));
  while (list.size() > PAGES_PER_USER) list.pop_front();
  return id;
}

std::shared_ptr<const ServedPage> PageMemory::find(int32_t user, int32_t pageId) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = pages_.find(user);
  if (it == pages_.end()) return nullptr;
  for (const auto& p : it->second)
    if (p.first == pageId) return p.second;
  return nullptr;
}

}  // namespace vesk
