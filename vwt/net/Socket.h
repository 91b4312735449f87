#pragma once

#include <atomic>
#include <cstdint>

#include "vwt/lang/String.h"

class SocketInputStream;
class SocketOutputStream;

// A connected TCP client socket. Owns its two streams; failures are
// Exceptions carrying the Windows Sockets error code.
class Socket : public Object {
 public:
  // Connects at once: -2500 when no socket can be made, -2501 (host, port)
  // when the connection fails.
  Socket(const String& host, int port);
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  ~Socket() override;

  // Made on first request; they live as long as the socket.
  SocketInputStream* getInputStream();
  SocketOutputStream* getOutputStream();

  // One byte 0-255, -1 when the peer has closed; -2504 on error.
  int read();
  // One receive of up to len bytes: the count, -1 when the peer has closed;
  // -2505 on error.
  int read(char* buf, int off, int len);
  // Sends every byte; -2502 on error.
  void write(int b);
  void write(const char* buf, int off, int len);
  // -2503 on error.
  int available();
  // Limits on every later read: it waits at most idleMs for the next bytes
  // (0: no limit) and not past deadline, in System::currentTimeMillisBoot()
  // milliseconds (0: none). A read over either limit throws -2506 with the
  // time-out code 10060.
  void setReadLimits(int idleMs, int64_t deadline);
  void flush();
  // Also wakes a thread blocked in a read on this socket. Reads and writes
  // after it fail with the "not a socket" code.
  void close();

  String toString() const override { return String(u"Socket", false); }

 private:
  // Waits for readable data within the read limits.
  void awaitData();

  std::atomic<int> handle_;
  int idleMs_;
  int64_t deadline_;
  SocketInputStream* input_;
  SocketOutputStream* output_;
};
