#pragma once

#include <algorithm>
#include <typeinfo>

#include "vwt/lang/Lock.h"
#include "vwt/lang/SmallBlocks.h"
#include "vwt/lang/String.h"
#include "vwt/platform/Text.h"

template <typename T>
class Vector;

// A growable array of pointers. With auto-delete (the default) the vector
// owns its elements: removing them or destroying the vector deletes them,
// last first. Every operation holds the vector's own lock.
template <typename T>
class Vector<T*> : public Object {
 public:
  Vector() : Vector(16, true) {}
  explicit Vector(bool autoDelete) : Vector(16, autoDelete) {}
  // The array is made on the first insertion: many vectors (an item's
  // references, say) stay empty all their life.
  Vector(int capacity, bool autoDelete)
      : items_(nullptr), size_(0), capacity_(capacity > 0 ? capacity : 1), autoDelete_(autoDelete) {}
  Vector(const Vector&) = delete;
  Vector& operator=(const Vector&) = delete;
  ~Vector() override {
    clear();
    releaseArray(items_, capacity_);
  }

  int size() const {
    Lock g(&lock_);
    return size_;
  }
  int capacity() const {
    Lock g(&lock_);
    return capacity_;
  }
  T* elementAt(int i) const {
    Lock g(&lock_);
    return items_[i];
  }
  int indexOf(T* const& value, int from = 0) const {
    Lock g(&lock_);
    for (int i = from < 0 ? 0 : from; i < size_; ++i)
      if (items_[i] == value) return i;
    return -1;
  }
  void addElement(T* const& value) {
    Lock g(&lock_);
    if (!items_ || size_ == capacity_) grow(size_ + 1);
    items_[size_++] = value;
  }
  // Appends n elements in one operation.
  void addElements(T* const* values, int n) {
    Lock g(&lock_);
    if (n <= 0) return;
    if (!items_ || size_ + n > capacity_) grow(size_ + n);
    std::copy(values, values + n, items_ + size_);
    size_ += n;
  }
  // Replaces the pointer; the old element is not deleted.
  void setElementAt(T* const& value, int i) {
    Lock g(&lock_);
    items_[i] = value;
  }
  void removeElementAt(int i) { remove(i, i + 1); }
  // Removes [from, to), deleting the removed elements with auto-delete.
  void remove(int from, int to) {
    Lock g(&lock_);
    if (from < 0) from = 0;
    if (to > size_) to = size_;
    if (from >= to) return;
    if (autoDelete_)
      for (int i = to - 1; i >= from; --i) delete items_[i];
    int n = to - from;
    for (int i = to; i < size_; ++i) items_[i - n] = items_[i];
    for (int i = size_ - n; i < size_; ++i) items_[i] = nullptr;
    size_ -= n;
  }
  void setSize(int n) {
    Lock g(&lock_);
    if (n < 0) n = 0;
    grow(n);
    for (int i = size_ - 1; i >= n; --i) {
      if (autoDelete_) delete items_[i];
      items_[i] = nullptr;
    }
    size_ = n;
  }
  void fill(int from, int to, T* value) {
    Lock g(&lock_);
    for (int i = from < 0 ? 0 : from; i < to && i < size_; ++i) items_[i] = value;
  }
  void clear() { setSize(0); }
  void ensureCapacity(int n) {
    Lock g(&lock_);
    grow(n);
  }
  void setAutoDelete(bool autoDelete) {
    Lock g(&lock_);
    autoDelete_ = autoDelete;
  }
  bool getAutoDelete() const {
    Lock g(&lock_);
    return autoDelete_;
  }

  // For a compound operation, as a synchronized block would: while a
  // thread holds this lock, the vector's own operations re-enter it without
  // touching shared memory.
  LockObject* getLock() const { return &lock_; }

  String toString() const override {
    std::string name = vwt::platform::typeName(typeid(T*).name());
    return (String(name.c_str()) + u'[') + size() + u']';
  }

 private:
  // Makes room for n elements; the caller holds the lock.
  void grow(int n) {
    if (n <= 0 || (items_ && n <= capacity_)) return;
    int c = capacity_;
    while (c < n) c *= 2;
    T** grown = static_cast<T**>(SmallBlocks::allocate(c * sizeof(T*)));
    std::fill(grown, grown + c, nullptr);
    std::copy(items_, items_ + size_, grown);
    releaseArray(items_, capacity_);
    items_ = grown;
    capacity_ = c;
  }

  // Arrays of a few slots are as many as the vectors: they share the pool.
  static void releaseArray(T** items, int capacity) {
    if (items) SmallBlocks::release(items, capacity * sizeof(T*));
  }

  T** items_;
  int size_;
  int capacity_;
  bool autoDelete_;
  mutable LockObject lock_;
};
