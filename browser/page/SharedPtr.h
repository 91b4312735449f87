#pragma once

#include <atomic>
#include <new>

#include "vwt/lang/SmallBlocks.h"

// A counted reference to an object shared by the canvas, the request that
// loads it and the history. The count is atomic: a worker may drop its
// reference while the interface thread copies the same one.
template <typename T>
class SharedPtr {
 public:
  SharedPtr() : p_(nullptr), count_(nullptr) {}
  explicit SharedPtr(T* p) : p_(nullptr), count_(nullptr) { *this = p; }
  SharedPtr(const SharedPtr& other) : p_(other.p_), count_(other.count_) {
    if (count_) count_->fetch_add(1, std::memory_order_relaxed);
  }
  ~SharedPtr() { release(); }

  // Takes a new object with a count of its own (the one held already: nothing).
  SharedPtr& operator=(T* p) {
    if (p == p_) return *this;
    release();
    if (p) {
      p_ = p;
      count_ = new (SmallBlocks::allocate(sizeof(std::atomic<int>))) std::atomic<int>(1);
    }
    return *this;
  }
  SharedPtr& operator=(const SharedPtr& other) {
    if (other.p_ == p_) return *this;
    if (other.count_) other.count_->fetch_add(1, std::memory_order_relaxed);
    release();
    p_ = other.p_;
    count_ = other.count_;
    return *this;
  }

  // Drops this reference; the last one destroys the object.
  void release() {
    if (count_ && count_->fetch_sub(1, std::memory_order_acq_rel) == 1) {
      delete p_;
      SmallBlocks::release(count_, sizeof(std::atomic<int>));  // trivially destructible
    }
    p_ = nullptr;
    count_ = nullptr;
  }

  T* get() const { return p_; }
  T* operator->() const { return p_; }
  T& operator*() const { return *p_; }
  explicit operator bool() const { return p_ != nullptr; }
  int getCount() const { return count_ ? count_->load(std::memory_order_relaxed) : 0; }

 private:
  T* p_;
  std::atomic<int>* count_;
};
