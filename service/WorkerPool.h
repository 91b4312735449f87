#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <list>
#include <mutex>
#include <thread>
#include <vector>

namespace vesk {

// Runs the service's connections. A connection may wait on a slow client for a whole request
// deadline, so a fixed handful of threads would let a few such clients starve everyone: the pool
// starts a thread whenever a task would otherwise wait, up to a generous cap, and a thread idle
// for a while ends. Tasks past the cap wait in order.
class WorkerPool {
 public:
  WorkerPool(size_t maxThreads, size_t keptThreads, int idleMs);
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  void enqueue(std::function<void()> task);
  // Runs every task already queued, then joins all threads. Later tasks are refused.
  void shutdown();

  size_t threadCount() const;

 private:
  using Threads = std::list<std::thread>;
  void work(Threads::iterator self);
  void joinFinished(std::unique_lock<std::mutex>& held);

  const size_t maxThreads_;
  const size_t keptThreads_;
  const int idleMs_;
  mutable std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<std::function<void()>> tasks_;
  Threads threads_;
  std::vector<std::thread> finished_;  // ended on idleness, joined by the next caller
  size_t idle_ = 0;
  bool stopping_ = false;
};

}  // namespace vesk
