#pragma once

// Owns one object and deletes it when destroyed or given another. Move-only:
// a copy would leave two owners.
template <typename T>
class AutoPtr {
 public:
  explicit AutoPtr(T* p = nullptr) : p_(p) {}
  AutoPtr(AutoPtr&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
  AutoPtr& operator=(AutoPtr&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  AutoPtr& operator=(T* p) {
    reset(p);
    return *this;
  }
  AutoPtr(const AutoPtr&) = delete;
  AutoPtr& operator=(const AutoPtr&) = delete;
  ~AutoPtr() { delete p_; }

  T* get() const { return p_; }
  T* operator->() const { return p_; }
  T& operator*() const { return *p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // Gives up ownership without deleting.
  T* release() {
    T* p = p_;
    p_ = nullptr;
    return p;
  }
  // Deletes the held object unless it is p, then holds p.
  void reset(T* p = nullptr) {
    if (p == p_) return;
    delete p_;
    p_ = p;
  }

 private:
  T* p_;
};
