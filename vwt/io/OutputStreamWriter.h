#pragma once

#include "vwt/io/OutputStream.h"
#include "vwt/io/Writer.h"

// Writes text to a byte stream in the ANSI code page. The writer owns its
// sink unless setDeleteSource(false).
class OutputStreamWriter : public Writer {
 public:
  explicit OutputStreamWriter(OutputStream* sink) : sink_(sink), deleteSource_(true) {}
  OutputStreamWriter(const OutputStreamWriter&) = delete;
  OutputStreamWriter& operator=(const OutputStreamWriter&) = delete;
  ~OutputStreamWriter() override {
    if (deleteSource_) delete sink_;
  }

  using Writer::write;
  // The units [off, off + len) of s, clipped to the text, in one write.
  void write(const String& s, int off, int len) override;
  void flush() override { sink_->flush(); }
  void close() override { sink_->close(); }

  void setDeleteSource(bool value) { deleteSource_ = value; }
  bool getDeleteSource() const { return deleteSource_; }

 private:
  OutputStream* sink_;
  bool deleteSource_;
};
