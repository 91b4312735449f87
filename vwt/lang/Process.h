#pragma once

#include "vwt/lang/String.h"

// A running program: one this process started (ProcessBuilder), or one
// found by its executable's name. Destroying the object leaves the program
// running.
class Process : public Object {
 public:
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  ~Process() override;

  int getId() const { return pid_; }
  bool isAlive();
  // Waits for a started program to end and gives its exit code (-1 for a
  // found one, which is only waited for until it is gone).
  int waitFor();
  // Asks the program to end; false when it could not be asked.
  bool terminate();

  // The first running program whose executable file is named name (this
  // process excepted); null when there is none. The caller owns it.
  static Process* findProcess(const String& name);
  // Opens a file with the desktop's default program, waiting until the
  // opener ends when wait is set. owner is the window asking (may be null).
  static bool openFile(const Object* owner, const String& path, bool wait);

 private:
  friend class ProcessBuilder;
  Process(int pid, bool child) : pid_(pid), child_(child), ended_(false), exitCode_(-1) {}

  int pid_;
  bool child_;  // started here, so it must be reaped
  bool ended_;
  int exitCode_;
};
