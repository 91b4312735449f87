#pragma once

#include "vwt/lang/Object.h"

class Window;

// A repeating window timer: timer messages with an id every interval
// milliseconds, delivered on the window's thread. Its behaviour comes with
// the window system.
class ShortTimer : public Object {
 public:
  static ShortTimer* getShortTimer(Window* window, int id, int interval, bool flag);
  ~ShortTimer() override;

  void start();
  void stop();
  void dispose();
  bool isRunning() const { return running_; }
  bool getFlag() const { return flag_; }

 private:
  ShortTimer(Window* window, int id, int interval, bool flag)
      : window_(window), interval_(interval), id_(id), running_(false), flag_(flag) {}

  Window* window_;
  int interval_;
  int id_;
  bool running_;
  bool flag_;
};
