#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "service/WorkerPool.h"

namespace vesktest {
namespace {

// Holds tasks until opened, so a test can see how many run at once.
class Gate {
 public:
  void open() {
    std::lock_guard<std::mutex> held(mutex_);
    open_ = true;
    opened_.notify_all();
  }
  void pass() {
    std::unique_lock<std::mutex> held(mutex_);
    opened_.wait_for(held, std::chrono::seconds(5), [this] { return open_; });  // hang guard
  }

 private:
  std::mutex mutex_;
  std::condition_variable opened_;
  bool open_ = false;
};

// Polls for at most 5 s; says nothing about speed.
bool eventually(const std::function<bool()>& condition) {
  for (int i = 0; i < 500 && !condition(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return condition();
}

TEST(WorkerPool, GrowsUntilEveryTaskRunsOrTheCapIsReached) {
  struct Case {
    size_t maxThreads;
    int tasks;
    int together;
  } cases[] = {{64, 40, 40}, {4, 10, 4}, {1, 3, 1}};
  for (const Case& c : cases) {
    Gate gate;
    std::atomic<int> running{0}, most{0}, finished{0};
    {
      vesk::WorkerPool pool(c.maxThreads, 0, 60000);
      for (int i = 0; i < c.tasks; ++i) {
        pool.enqueue([&] {
          int now = ++running;
          int seen = most;
          while (now > seen && !most.compare_exchange_weak(seen, now)) {
          }
          gate.pass();
          --running;
          ++finished;
        });
      }
      EXPECT_TRUE(eventually([&] { return running == c.together; })) << c.maxThreads;
      EXPECT_EQ(pool.threadCount(), static_cast<size_t>(c.together)) << c.maxThreads;
      gate.open();
      EXPECT_TRUE(eventually([&] { return finished == c.tasks; })) << c.maxThreads;
    }
    EXPECT_EQ(most, c.together) << c.maxThreads;
  }
}

TEST(WorkerPool, IdleThreadsEndDownToTheKeptOnes) {
  vesk::WorkerPool pool(16, 2, 20);
  Gate gate;
  for (int i = 0; i < 8; ++i) pool.enqueue([&] { gate.pass(); });
  EXPECT_TRUE(eventually([&] { return pool.threadCount() == 8; }));
  gate.open();
  EXPECT_TRUE(eventually([&] { return pool.threadCount() == 2; }));
  std::atomic<bool> ran{false};
  pool.enqueue([&] { ran = true; });
  EXPECT_TRUE(eventually([&] { return ran.load(); }));
}

TEST(WorkerPool, ShutdownRunsEveryQueuedTaskAndAFailingTaskKeepsItsThread) {
  std::atomic<int> ran{0};
  vesk::WorkerPool pool(1, 0, 1000);
  pool.enqueue([] { throw std::runtime_error("lost connection"); });
  for (int i = 0; i < 20; ++i) pool.enqueue([&] { ++ran; });
  pool.shutdown();
  EXPECT_EQ(ran, 20);
  // Late tasks still run (a connection task closes its socket), on the caller's thread.
  pool.enqueue([&] { ++ran; });
  EXPECT_EQ(ran, 21);
  EXPECT_EQ(pool.threadCount(), 0u);
}

}  // namespace
}  // namespace vesktest
