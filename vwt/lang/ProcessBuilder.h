#pragma once

#include "vwt/lang/Process.h"
#include "vwt/lang/VectorV.h"

// Starts programs. Element 0 of the command is the executable; the others
// are joined by single blanks into its command line, as they are (elements
// that need quotes carry them).
class ProcessBuilder : public Object {
 public:
  explicit ProcessBuilder(const VectorV<String>& command) : command_(command) {}
  explicit ProcessBuilder(const String& executable) { command_.addElement(executable); }

  const VectorV<String>& command() const { return command_; }
  // The arguments after the executable joined by blanks.
  String getCommandLine() const;
  // A new Process the caller owns; throws -2000 (the executable) with the
  // system error when the program cannot be started.
  Process* start() const;

 private:
  VectorV<String> command_;
};
