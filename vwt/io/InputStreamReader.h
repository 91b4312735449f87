#pragma once

#include "vwt/io/InputStream.h"
#include "vwt/io/Reader.h"
#include "vwt/lang/String.h"

// Lines and characters of a byte stream in one of the String encodings. The
// reader owns its source unless setDeleteSource(false).
class InputStreamReader : public Reader {
 public:
  // The longest line readLine accepts, in bytes or characters.
  static const int MAX_LINE_LENGTH = 1 << 20;

  InputStreamReader(InputStream* source, String::CharsetType encoding);
  InputStreamReader(const InputStreamReader&) = delete;
  InputStreamReader& operator=(const InputStreamReader&) = delete;
  ~InputStreamReader() override;

  // The next line without its line feed and carriage returns (null for an
  // empty line). False when the stream had ended before the line began.
  bool readLine(String& line);
  // One character of a UTF-8 or UTF-16LE stream, -1 at the end; always -1
  // in the default code page, which is read by lines only.
  int read() override;
  // Up to len characters, then a U+0000 when there is room for it; the
  // count, 0 when the stream had already ended.
  int read(char16_t* buf, int off, int len) override;
  bool ready() const override;
  void close() override { source_->close(); }

  void setDeleteSource(bool value) { deleteSource_ = value; }
  bool getDeleteSource() const { return deleteSource_; }
  // readLine calls so far.
  int getLineCount() const { return lineCount_; }

 private:
  int readUtf8();
  int readUnicode16Le();

  InputStream* source_;
  String::CharsetType encoding_;
  bool deleteSource_;
  int lineCount_;
};
