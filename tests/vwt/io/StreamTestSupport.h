#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vwt/io/InputStream.h"
#include "vwt/io/OutputStream.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"

// What a test stream saw; outlives the stream so destruction can be checked.
struct StreamLog {
  bool destroyed = false;
  int closes = 0;
  int flushes = 0;
  std::vector<int> requests;  // len of every read(buf, off, len)
  std::vector<int> writes;    // len of every write
  std::string bytes;          // everything written
};

// Gives its bytes at most `chunk` at a time, then -1.
class ScriptedInputStream : public InputStream {
 public:
  ScriptedInputStream(std::string data, StreamLog* log, int chunk = 1 << 30)
      : data_(std::move(data)), log_(log), chunk_(chunk) {}
  ~ScriptedInputStream() override {
    if (log_) log_->destroyed = true;
  }
  using InputStream::read;
  int read(char* buf, int off, int len) override {
    if (log_) log_->requests.push_back(len);
    if (pos_ >= data_.size()) return -1;
    size_t n = std::min<size_t>({static_cast<size_t>(len), static_cast<size_t>(chunk_), data_.size() - pos_});
    data_.copy(buf + off, n, pos_);
    pos_ += n;
    return static_cast<int>(n);
  }
  void close() override {
    if (log_) ++log_->closes;
  }

 private:
  std::string data_;
  size_t pos_ = 0;
  StreamLog* log_;
  int chunk_;
};

class RecordingOutputStream : public OutputStream {
 public:
  explicit RecordingOutputStream(StreamLog* log) : log_(log) {}
  ~RecordingOutputStream() override { log_->destroyed = true; }
  using OutputStream::write;
  void write(const char* buf, int off, int len) override {
    log_->writes.push_back(len);
    log_->bytes.append(buf + off, len);
  }
  void flush() override { ++log_->flushes; }
  void close() override { ++log_->closes; }

 private:
  StreamLog* log_;
};

inline std::string bytesOf(std::initializer_list<int> v) {
  std::string s;
  for (int b : v) s.push_back(static_cast<char>(b));
  return s;
}

// Runs f and expects an Exception carrying message id `id`.
template <typename F>
void expectFailure(F f, int id) {
  try {
    f();
    ADD_FAILURE() << "no Exception, expected message " << id;
  } catch (const Exception& e) {
    EXPECT_TRUE(e.getRawMessage().equals(Resource::getString(id))) << "expected message " << id;
    EXPECT_EQ(e.getCode(), 0u);
  }
}
