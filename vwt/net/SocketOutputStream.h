#pragma once

#include "vwt/io/OutputStream.h"

class Socket;

// The sending side of a Socket, which owns it.
class SocketOutputStream : public OutputStream {
 public:
  explicit SocketOutputStream(Socket* socket) : socket_(socket) {}

  void flush() override;
  void write(int b) override;
  void write(const char* buf, int off, int len) override;

 private:
  Socket* socket_;
};
