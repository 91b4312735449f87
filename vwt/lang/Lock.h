#pragma once

#include "vwt/lang/LockObject.h"

// Holds a LockObject for its scope. Not copyable: two holders would leave
// the section once too often.
class Lock : public Object {
 public:
  explicit Lock(LockObject* object, bool unused = true) : object_(object), held_(true) {
    (void)unused;
    object_->lock();
  }
  ~Lock() override {
    if (held_) object_->unlock();
  }
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

  void lock() {
    object_->lock();
    held_ = true;
  }
  void unlock() {
    object_->unlock();
    held_ = false;
  }

 private:
  LockObject* object_;
  bool held_;
};
