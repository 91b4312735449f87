#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "vwt/lang/Thread.h"

namespace {

// Runs until told to stop.
class Held : public Thread {
 public:
  void run() override {
    for (int i = 0; i < 2000 && !stop; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  std::atomic<bool> stop{false};
};

TEST(ThreadCount, CountsThreadsWhoseRunHasNotReturned) {
  int before = Thread::activeCount();
  Held a, b;
  a.start();
  b.start();
  EXPECT_EQ(Thread::activeCount(), before + 2);
  a.stop = true;
  a.join();
  EXPECT_EQ(Thread::activeCount(), before + 1);
  b.stop = true;
  b.join();
  EXPECT_EQ(Thread::activeCount(), before);
}

}  // namespace
