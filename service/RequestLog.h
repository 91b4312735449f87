#pragma once

#include <cstdio>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace vesk {

// One line per request: what was asked and the query values in the order received. Kept in
// memory for the control endpoint and appended to a file when one is given.
class RequestLog {
 public:
  static constexpr size_t KEPT_LINES = 10000;

  explicit RequestLog(const std::string& path);  // path empty: memory only
  ~RequestLog();
  RequestLog(const RequestLog&) = delete;
  RequestLog& operator=(const RequestLog&) = delete;

  void add(const std::string& line);
  std::vector<std::string> lines() const;
  void clear();

 private:
  mutable std::mutex mutex_;
  std::deque<std::string> lines_;
  std::FILE* file_ = nullptr;
};

}  // namespace vesk
