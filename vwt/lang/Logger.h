#pragma once

#include "vwt/lang/String.h"

// The process's diagnostic output: nowhere, the file "logger.txt" in the
// program directory, or the debugger output (standard error here).
class Logger : public Object {
 public:
  enum OutputType { NO_OUTPUT = 0, FILE_OUTPUT = 1, DEBUGGER_OUTPUT = 2 };
  // Accepted with every line; not used for filtering.
  enum Level { TRACE = 0, DEBUG = 1, INFO = 2, NOTICE = 3, WARNING = 4, ERROR = 5, FATAL = 6 };

  static Logger* getLogger();

  void setOutputType(OutputType type) { type_ = type; }
  OutputType getOutputType() const { return type_; }
  // With FILE_OUTPUT, a file that cannot be opened switches the logger off.
  void log(Level level, const char16_t* text);
  void log(Level level, const String& text);

  // Debug lines of the callers go nowhere.
  static void debug(const String&) {}

 private:
  Logger() : type_(DEBUGGER_OUTPUT) {}
  OutputType type_;
};
