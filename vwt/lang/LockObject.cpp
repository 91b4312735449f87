#include "vwt/lang/LockObject.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>

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

}  // namespace

void LockObject::waitToEnter() {
  for (int i = 0; i < 64; ++i) {
    int expected = FREE;
    if (state_.compare_exchange_weak(expected, HELD, std::memory_order_acquire)) return;
    std::this_thread::yield();
  }
  Parking& p = parkingFor(this);
  std::unique_lock<std::mutex> g(p.mutex);
  // Marking the lock CONTENDED under the slot's mutex means the holder's
  // wake-up cannot slip in between this check and the wait.
  while (state_.exchange(CONTENDED, std::memory_order_acquire) != FREE) p.wake.wait(g);
}

void LockObject::wakeWaiters() {
  Parking& p = parkingFor(this);
  std::lock_guard<std::mutex> g(p.mutex);
  p.wake.notify_all();  // the slot is shared: each waiter checks its own lock
}
