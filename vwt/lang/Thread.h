#pragma once

#include <memory>

#include "vwt/lang/Object.h"

// A system thread running the object's run(). Threads are never stopped
// from outside: a worker ends when run() returns.
class Thread : public Object {
 public:
  enum Priority { HIGHEST = 0, LOWEST = 1, NORMAL = 2 };

  Thread();
  // Lets go of the thread without stopping it.
  ~Thread() override;
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

  // Starts run() on a new thread; throws -2300 when none can be made.
  virtual void start();
  virtual void run() {}

  // Waits for the thread to end; afterwards the object refers to none.
  void join();
  // Waits up to ms; true (and no thread referred to) unless it timed out.
  bool join(int ms);
  bool isAlive() const;
  void setPriority(Priority priority);

  static void sleep(int ms);
  // Threads started here whose run() has not returned yet.
  static int activeCount();

 private:
  struct State;
  std::shared_ptr<State> state_;
  int level_;
};
