#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "vwt/platform/InputSink.h"
#include "vwt/platform/PixelTarget.h"

namespace vwt {
namespace platform {

// Scripted input (VWT_INPUT_SCRIPT): one command a line, '#' starts a comment.
//   key NAME [down|up]   tap X Y   press X Y   move X Y   release X Y   drag X1 Y1 X2 Y2 MS
//   type TEXT   wait MS   idle   shot FILE.png   answer N [TEXT]   quit
// The whole file is read first, so a bad line stops the program before any input is given.
// `answer N [TEXT]` queues an answer: the next modal dialog ends at once with N, which is what the
// toolkit call returns: a message box (Dialog::show) 0 OK, 1 Yes, 2 No, 3 other; a file dialog 1
// approved with TEXT as the path, 0 cancelled; a popup menu the chosen item's id, 0 dismissed.
class InputScript {
 public:
  struct Command {
    enum Kind { KEY_DOWN, KEY_UP, TYPE, PRESS, MOVE, RELEASE, WAIT, IDLE, SHOT, ANSWER, QUIT };
    Kind kind = QUIT;
    int line = 0;
    int a = 0, b = 0;  // key code; x, y; milliseconds; answer number
    std::string text;  // UTF-8: typed text, file name, answer text
  };

  // What the script asks of the program it drives.
  class Host {
   public:
    virtual ~Host() = default;
    // Work the program still has before the screen settles (the queue, timers other than ticks).
    virtual bool isBusy() = 0;
    virtual PixelTarget screen() = 0;
  };

  // Null with *error ("LINE: reason") and *errorLine set for a bad line.
  static std::unique_ptr<InputScript> parse(const std::string& text, std::string* error, int* errorLine);
  // Reads and parses a file; a file that cannot be read is an error on line 0.
  static std::unique_ptr<InputScript> load(const std::string& path, std::string* error, int* errorLine);
  // The worker-thread check `idle` waits on, set by the toolkit (no live worker threads: false).
  static void setWorkerCheck(std::function<bool()> workersRunning);

  const std::vector<Command>& commands() const { return commands_; }
  bool finished() const { return next_ >= commands_.size(); }

  // Runs what is due at `now` (milliseconds, monotonic) with the program idle: at most one command
  // that gives input, so the program handles it before the next. Returns the milliseconds until the
  // script wants to run again (0: at once once idle, -1: finished). A shot that cannot be written
  // ends the program with status 2.
  int step(InputSink& sink, Host& host, int64_t now);

 private:
  std::vector<Command> commands_;
  size_t next_ = 0;
  int64_t waitUntil_ = -1;
  int64_t idleSince_ = -1;
};

}  // namespace platform
}  // namespace vwt
