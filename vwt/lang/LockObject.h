#pragma once

#include <atomic>
#include <thread>

#include "vwt/lang/Object.h"

// A re-entrant lock: the owning thread may enter it again.
//
// Every container operation takes its lock, so the uncontended path is
// inline: one compare-and-swap to enter, one exchange to leave. A thread that
// finds the lock taken spins briefly, then sleeps until the holder leaves.
class LockObject : public Object {
 public:
  LockObject() = default;
  LockObject(const LockObject&) = delete;
  LockObject& operator=(const LockObject&) = delete;

  void lock() {
    std::thread::id self = std::this_thread::get_id();
    if (owner_.load(std::memory_order_relaxed) == self) {
      ++depth_;
      return;
    }
    int expected = FREE;
    if (!state_.compare_exchange_strong(expected, HELD, std::memory_order_acquire)) waitToEnter();
    owner_.store(self, std::memory_order_relaxed);
    depth_ = 1;
  }

  void unlock() {
    if (--depth_ > 0) return;
    owner_.store(std::thread::id(), std::memory_order_relaxed);
    if (state_.exchange(FREE, std::memory_order_release) == CONTENDED) wakeWaiters();
  }

 private:
  enum { FREE, HELD, CONTENDED };  // CONTENDED: held, and a thread may be sleeping on it

  void waitToEnter();
  void wakeWaiters();

  std::atomic<int> state_{FREE};
  int depth_ = 0;  // touched by the owner only
  // Only the owner ever stores its own id, so a thread that reads its own id
  // here owns the lock.
  std::atomic<std::thread::id> owner_{};
};
