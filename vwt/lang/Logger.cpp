#include "vwt/lang/Logger.h"

#include <cstdio>
#include <memory>
#include <string>

#include "vwt/platform/Paths.h"

namespace {
std::string narrow(const String& text) {
  std::unique_ptr<char[]> buf(new char[String::maxAsciiBytes(text.length()) + 1]);
  int n = text.getCStringAsAscii(buf.get(), String::maxAsciiBytes(text.length()));
  return std::string(buf.get(), static_cast<size_t>(n));
}
}  // namespace

Logger* Logger::getLogger() {
  static Logger* instance = new Logger();  // lives as long as the process
  return instance;
}

void Logger::log(Level level, const char16_t* text) { log(level, text ? String(text, false) : String()); }

void Logger::log(Level, const String& text) {
  if (type_ == NO_OUTPUT) return;
  std::string line;
  try {
    line = narrow(text);
  } catch (...) {
    return;  // a line that cannot be converted is dropped
  }
  if (type_ == DEBUGGER_OUTPUT) {
    vwt::platform::debugOutput(line);
    return;
  }
  std::string path = vwt::platform::programDirectory() + "/logger.txt";
  FILE* f = fopen(path.c_str(), "a");
  if (!f) {
    type_ = NO_OUTPUT;
    return;
  }
  line += '\n';
  fwrite(line.data(), 1, line.size(), f);
  fclose(f);
}
