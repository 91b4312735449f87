#pragma once

#include "vwt/io/InputStream.h"

class Socket;

// The receiving side of a Socket, which owns it.
class SocketInputStream : public InputStream {
 public:
  explicit SocketInputStream(Socket* socket) : socket_(socket) {}

  using InputStream::read;
  int available() override;
  int read() override;
  int read(char* buf, int off, int len) override;

 private:
  Socket* socket_;
};
