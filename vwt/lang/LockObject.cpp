#include "vwt/lang/LockObject.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

// Sleeping threads wait on one of a few shared slots chosen by the lock's
// address, so a lock needs no mutex or condition variable of its own.
struct Parking {
  std::mutex mutex;
  std::condition_variable wake;
};

Parking& parkingFor(const void* lock) {
  static Parking slots[64];
  uintptr_t a = reinterpret_cast<uintptr_t>(lock);
  return slots[(a >> 4 ^ a >> 10) % 64];
}

// Tags of ended threads are not reused: 2^31 threads would have to come
// and go before one repeats.
std::atomic<uint32_t> lastTag{0};

}  // namespace

uint32_t LockObject::assignTag() {
  uint32_t t = (lastTag.fetch_add(1, std::memory_order_relaxed) + 1) & ~SLEEPERS;
  if (t == 0) t = 1;
  ownTag_ = t;
  return t;
}

void LockObject::waitToEnter(uint32_t self) {
  for (int i = 0; i < 64; ++i) {
    uint32_t expected = 0;
    if (word_.compare_exchange_weak(expected, self, std::memory_order_acquire)) return;
    std::this_thread::yield();
  }
  Parking& p = parkingFor(this);
  std::unique_lock<std::mutex> g(p.mutex);
  for (;;) {
    uint32_t w = word_.load(std::memory_order_relaxed);
    if (w == 0) {
      // Others may still sleep on it: keep the flag so that leaving wakes them.
      if (word_.compare_exchange_weak(w, self | SLEEPERS, std::memory_order_acquire)) return;
      continue;
    }
    // Setting the flag under the slot's mutex means the holder's wake-up
    // cannot slip in between this check and the wait.
    if (!(w & SLEEPERS) && !word_.compare_exchange_weak(w, w | SLEEPERS, std::memory_order_relaxed)) continue;
    p.wake.wait(g);
  }
}

void LockObject::wakeWaiters() {
  Parking& p = parkingFor(this);
  std::lock_guard<std::mutex> g(p.mutex);
  p.wake.notify_all();  // the slot is shared: each waiter checks its own lock
}
