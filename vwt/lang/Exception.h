#pragma once

#include <cstdint>

#include "vwt/lang/String.h"

// The one exception type of the system: a message (normally a message text
// by id) and a system or socket error code (0 for none). Thrown by value.
class Exception : public Object {
 public:
  explicit Exception(const String& message) : code_(0), message_(message) {}
  Exception(const String& message, uint64_t code) : code_(code), message_(message) {}

  // Prefix -1900 and the message; with a code, a line break, the code's
  // text and, unless the code is all ones, " (CODE=n)".
  String toString() const override;
  String getMessage() const { return toString(); }
  // The message as given, without prefix or code.
  const String& getRawMessage() const { return message_; }
  uint64_t getCode() const { return code_; }

  // The system's text for the low 32 bits of code, else the socket error
  // table's message text, else null.
  static String getErrorMessage(uint64_t code);
  // The socket error table: the message id of a code, or 0 when absent.
  static int getSocketErrorMessageId(uint64_t code);

 private:
  uint64_t code_;
  String message_;
};
