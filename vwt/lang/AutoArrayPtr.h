#pragma once

// Owns one new[] array and delete[]s it when destroyed or given another.
// Move-only: a copy would leave two owners.
template <typename T>
class AutoArrayPtr {
 public:
  explicit AutoArrayPtr(T* p = nullptr) : p_(p) {}
  AutoArrayPtr(AutoArrayPtr&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
  AutoArrayPtr& operator=(AutoArrayPtr&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  AutoArrayPtr& operator=(T* p) {
    reset(p);
    return *this;
  }
  AutoArrayPtr(const AutoArrayPtr&) = delete;
  AutoArrayPtr& operator=(const AutoArrayPtr&) = delete;
  ~AutoArrayPtr() { delete[] p_; }

  T* get() const { return p_; }
  T& operator[](int i) const { return p_[i]; }
  explicit operator bool() const { return p_ != nullptr; }
  T* release() {
    T* p = p_;
    p_ = nullptr;
    return p;
  }
  void reset(T* p = nullptr) {
    if (p == p_) return;
    delete[] p_;
    p_ = p;
  }

 private:
  T* p_;
};
