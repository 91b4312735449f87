#pragma once

#include "vwt/io/InputStream.h"

// An input stream over another, which it owns unless told otherwise.
class FilterInputStream : public InputStream {
 public:
  explicit FilterInputStream(InputStream* source) : source_(source), deleteSource_(true) {}
  FilterInputStream(const FilterInputStream&) = delete;
  FilterInputStream& operator=(const FilterInputStream&) = delete;
  ~FilterInputStream() override {
    if (deleteSource_) delete source_;
  }

  void close() override { source_->close(); }
  int read() override { return InputStream::read(); }
  int read(char* buf, int off, int len) override { return source_->read(buf, off, len); }
  int64_t skip(int64_t n) override { return source_->skip(n); }
  int available() override { return source_->available(); }
  virtual int available() const { return source_->available(); }

  void setDeleteSource(bool value) { deleteSource_ = value; }
  bool getDeleteSource() const { return deleteSource_; }
  InputStream* getSource() const { return source_; }

 protected:
  InputStream* source_;
  bool deleteSource_;
};
