#include "service/RequestLog.h"

namespace vesk {

RequestLog::RequestLog(const std::string& path) {
  if (!path.empty()) file_ = std::fopen(path.c_str(), "a");
}

RequestLog::~RequestLog() {
  if (file_) std::fclose(file_);
}

void RequestLog::add(const std::string& line) {
  std::string clean;
  clean.reserve(line.size());
  for (char c : line) clean.push_back((c == '\n' || c == '\r') ? ' ' : c);
  std::lock_guard<std::mutex> lock(mutex_);
  lines_.push_back(clean);
  while (lines_.size() > KEPT_LINES) lines_.pop_front();
  if (file_) {
    std::fprintf(file_, "%s\n", clean.c_str());
    std::fflush(file_);
  }
}

std::vector<std::string> RequestLog::lines() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return std::vector<std::string>(lines_.begin(), lines_.end());
}

void RequestLog::clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  lines_.clear();
}

}  // namespace vesk
