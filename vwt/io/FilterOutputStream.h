#pragma once

#include "vwt/io/OutputStream.h"

// An output stream over another, which it owns unless told otherwise.
class FilterOutputStream : public OutputStream {
 public:
  explicit FilterOutputStream(OutputStream* sink) : sink_(sink), deleteSource_(true) {}
  FilterOutputStream(const FilterOutputStream&) = delete;
  FilterOutputStream& operator=(const FilterOutputStream&) = delete;
  ~FilterOutputStream() override {
    if (deleteSource_) delete sink_;
  }

  // Closes the sink without flushing it.
  void close() override { sink_->close(); }
  void flush() override { sink_->flush(); }
  void write(int b) override { sink_->write(b); }
  void write(const char* buf, int off, int len) override { sink_->write(buf, off, len); }
  virtual void write(char* buf, int off, int len) { write(static_cast<const char*>(buf), off, len); }
  virtual void setDeleteSource(bool value) { deleteSource_ = value; }
  virtual bool getDeleteSource() const { return deleteSource_; }
  OutputStream* getSink() const { return sink_; }

 protected:
  OutputStream* sink_;
  bool deleteSource_;
};
