#pragma once

#include <atomic>
#include <cstdint>

#include "vwt/lang/Object.h"

// A re-entrant lock: the owning thread may enter it again.
//
// Every container operation takes its lock, so the uncontended path is
// inline: one compare-and-swap to enter, one exchange to leave. A thread that
// finds the lock taken spins briefly, then sleeps until the holder leaves.
// One word holds the owner (a small number per thread) and a flag for
// sleepers, so a lock costs a container 16 bytes.
class LockObject : public Object {
 public:
  LockObject() = default;
  LockObject(const LockObject&) = delete;
  LockObject& operator=(const LockObject&) = delete;

  void lock() {
    uint32_t self = threadTag();
    // Only the owner stores its own tag here, so a thread that reads its own
    // tag owns the lock.
    if ((word_.load(std::memory_order_relaxed) & ~SLEEPERS) == self) {
      ++depth_;
      return;
    }
    uint32_t expected = 0;
    if (!word_.compare_exchange_strong(expected, self, std::memory_order_acquire)) waitToEnter(self);
    depth_ = 1;
  }

  void unlock() {
    if (--depth_ > 0) return;
    if (word_.exchange(0, std::memory_order_release) & SLEEPERS) wakeWaiters();
  }

 private:
  static constexpr uint32_t SLEEPERS = 0x80000000u;  // a thread may be sleeping on the lock

  // The calling thread's tag: non-zero, below SLEEPERS, unique among live
  // threads. Read inline: every lock asks for it.
  static uint32_t threadTag() {
    uint32_t t = ownTag_;
    return t ? t : assignTag();
  }
  static uint32_t assignTag();
  static inline thread_local uint32_t ownTag_ __attribute__((tls_model("initial-exec"))) = 0;
  void waitToEnter(uint32_t self);
  void wakeWaiters();

  std::atomic<uint32_t> word_{0};  // 0 when free, else the owner's tag, maybe with SLEEPERS
  int depth_ = 0;                  // touched by the owner only
};
