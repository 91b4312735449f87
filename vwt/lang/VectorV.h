#pragma once

#include <algorithm>
#include <typeinfo>

#include "vwt/lang/Lock.h"
#include "vwt/lang/String.h"
#include "vwt/platform/Text.h"

// A growable array of values. Every operation holds the vector's own lock,
// so one vector may be shared between threads.
template <typename T>
class VectorV : public Object {
 public:
  VectorV() : VectorV(16) {}
  explicit VectorV(int capacity)
      : items_(new T[capacity > 0 ? capacity : 1]()), size_(0), capacity_(capacity > 0 ? capacity : 1) {}
  VectorV(const VectorV& other) : items_(nullptr), size_(0), capacity_(0) {
    Lock g(&other.lock_);
    capacity_ = other.capacity_;
    items_ = new T[capacity_]();
    std::copy(other.items_, other.items_ + other.size_, items_);
    size_ = other.size_;
  }
  VectorV& operator=(const VectorV& other) {
    if (this == &other) return *this;
    VectorV copy(other);
    Lock g(&lock_);
    T* old = items_;
    items_ = copy.items_;
    size_ = copy.size_;
    capacity_ = copy.capacity_;
    copy.items_ = old;
    return *this;
  }
  ~VectorV() override { delete[] items_; }

  int size() const {
    Lock g(&lock_);
    return size_;
  }
  int capacity() const {
    Lock g(&lock_);
    return capacity_;
  }
  T elementAt(int i) const {
    Lock g(&lock_);
    return items_[i];
  }
  T firstElement() const { return elementAt(0); }
  T lastElement() const {
    Lock g(&lock_);
    return items_[size_ - 1];
  }
  int indexOf(const T& value, int from = 0) const {
    Lock g(&lock_);
    for (int i = from < 0 ? 0 : from; i < size_; ++i)
      if (items_[i] == value) return i;
    return -1;
  }
  void addElement(const T& value) {
    Lock g(&lock_);
    ensureCapacity(size_ + 1);
    items_[size_++] = value;
  }
  void addElements(const T* values, int n) { insertElements(values, n, size()); }
  void insertElements(const T* values, int n, int at) {
    if (n <= 0) return;
    Lock g(&lock_);
    if (at < 0) at = 0;
    if (at > size_) at = size_;
    ensureCapacity(size_ + n);
    std::copy_backward(items_ + at, items_ + size_, items_ + size_ + n);
    std::copy(values, values + n, items_ + at);
    size_ += n;
  }
  void setElementAt(const T& value, int i) {
    Lock g(&lock_);
    items_[i] = value;
  }
  void removeElementAt(int i) { remove(i, i + 1); }
  // Removes [from, to) and moves the rest down.
  void remove(int from, int to) {
    Lock g(&lock_);
    if (from < 0) from = 0;
    if (to > size_) to = size_;
    if (from >= to) return;
    int n = to - from;
    std::copy(items_ + to, items_ + size_, items_ + from);
    std::fill(items_ + size_ - n, items_ + size_, T());
    size_ -= n;
  }
  void setSize(int n) {
    Lock g(&lock_);
    if (n < 0) n = 0;
    ensureCapacity(n);
    if (n < size_) std::fill(items_ + n, items_ + size_, T());
    size_ = n;
  }
  void clear() { setSize(0); }
  // Doubles the capacity until it holds n.
  void ensureCapacity(int n) {
    Lock g(&lock_);
    if (n <= capacity_) return;
    int c = capacity_;
    while (c < n) c *= 2;
    T* grown = new T[c]();
    std::copy(items_, items_ + size_, grown);
    delete[] items_;
    items_ = grown;
    capacity_ = c;
  }
  // The element array itself, valid until the next change.
  const T* data() const { return items_; }
  T* data() { return items_; }

  // For a compound operation, as a synchronized block would (see Vector).
  LockObject* getLock() const { return &lock_; }

  String toString() const override {
    std::string name = vwt::platform::typeName(typeid(T).name());
    return (String(name.c_str()) + u'[') + size() + u']';
  }

 private:
  T* items_;
  int size_;
  int capacity_;
  mutable LockObject lock_;
};
