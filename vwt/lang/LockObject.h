#pragma once

#include <mutex>

#include "vwt/lang/Object.h"

// A re-entrant lock: the owning thread may enter it again.
class LockObject : public Object {
 public:
  LockObject() = default;
  LockObject(const LockObject&) = delete;
  LockObject& operator=(const LockObject&) = delete;

  void lock() { mutex_.lock(); }
  void unlock() { mutex_.unlock(); }

 private:
  std::recursive_mutex mutex_;
};
