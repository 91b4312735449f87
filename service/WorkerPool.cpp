#include "service/WorkerPool.h"

#include <chrono>
#include <system_error>

namespace vesk {

WorkerPool::WorkerPool(size_t maxThreads, size_t keptThreads, int idleMs)
    : maxThreads_(maxThreads < 1 ? 1 : maxThreads),
      keptThreads_(keptThreads),
      idleMs_(idleMs < 1 ? 1 : idleMs) {}

WorkerPool::~WorkerPool() { shutdown(); }

void WorkerPool::enqueue(std::function<void()> task) {
  std::unique_lock<std::mutex> held(mutex_);
  joinFinished(held);
  if (stopping_) {
    // A connection task owns its socket: running it here still closes it.
    held.unlock();
    task();
    return;
  }
  tasks_.push_back(std::move(task));
  if (tasks_.size() > idle_ && threads_.size() < maxThreads_) {
    auto self = threads_.emplace(threads_.end());
    try {
      *self = std::thread(&WorkerPool::work, this, self);
    } catch (const std::system_error&) {
      threads_.erase(self);  // out of threads for now: the task waits for a running one
      if (threads_.empty()) {
        std::function<void()> mine = std::move(tasks_.back());
        tasks_.pop_back();
        held.unlock();
        mine();
        return;
      }
    }
  }
  ready_.notify_one();
}

void WorkerPool::work(Threads::iterator self) {
  std::unique_lock<std::mutex> held(mutex_);
  for (;;) {
    if (tasks_.empty()) {
      if (stopping_) return;  // shutdown() joins us
      ++idle_;
      bool woken = ready_.wait_for(held, std::chrono::milliseconds(idleMs_),
                                   [this] { return !tasks_.empty() || stopping_; });
      --idle_;
      if (!woken && threads_.size() > keptThreads_) break;
      continue;
    }
    std::function<void()> task = std::move(tasks_.front());
    tasks_.pop_front();
    held.unlock();
    try {
      task();
    } catch (...) {
      // One failed connection must not take the thread, and with it the process, down.
    }
    task = nullptr;  // its captures go before the lock is taken again
    held.lock();
  }
  finished_.push_back(std::move(*self));
  threads_.erase(self);
}

void WorkerPool::joinFinished(std::unique_lock<std::mutex>& held) {
  if (finished_.empty()) return;
  std::vector<std::thread> done;
  done.swap(finished_);
  held.unlock();
  for (std::thread& t : done) t.join();
  held.lock();
}

void WorkerPool::shutdown() {
  std::vector<std::thread> done;
  {
    std::lock_guard<std::mutex> held(mutex_);
    stopping_ = true;
    done.swap(finished_);
  }
  ready_.notify_all();
  // With stopping_ set no thread leaves the list, so it can be walked without the lock.
  for (std::thread& t : threads_) {
    if (t.joinable()) t.join();
  }
  for (std::thread& t : done) t.join();
  std::lock_guard<std::mutex> held(mutex_);
  threads_.clear();
}

size_t WorkerPool::threadCount() const {
  std::lock_guard<std::mutex> held(mutex_);
  return threads_.size();
}

}  // namespace vesk
