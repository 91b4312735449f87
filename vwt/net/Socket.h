#pragma once

#include <atomic>
#include <cstdint>

#include "vwt/lang/String.h"

class SocketInputStream;
class SocketOutputStream;
class SocketTlsTransport;
namespace vwt {
namespace platform {
class TlsChannel;
}
}  // namespace vwt

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

  // Turns the connected socket into a TLS channel to host: the handshake, the certificate chain checked
  // against the system's trust store (OpenSSL's default paths, so SSL_CERT_FILE / SSL_CERT_DIR are
  // honoured) and the certificate checked for host (name or IP address). Throws -2507 (host, reason)
  // when the handshake fails and -2508 (host, reason) when the certificate is not trusted for host.
  // Reads and writes go through the channel afterwards; close() also ends it.
  void startTls(const String& host);
  bool isSecure() const;

  String toString() const override { return String(u"Socket", false); }

 private:
  friend class SocketTlsTransport;

  // Waits for readable data within the read limits.
  void awaitData();
  // The wait of awaitData: 1 ready, 0 over a limit, -1 with *error set.
  int waitForData(unsigned int* error);
  // The read and write of a secure socket.
  int readSecure(char* buf, int len, int failureId);
  void writeSecure(const char* buf, int len);

  std::atomic<int> handle_;
  int idleMs_;
  int64_t deadline_;
  SocketInputStream* input_;
  SocketOutputStream* output_;
  // Owned; null on a plain socket. Freed by the destructor only, never by close(), which another
  // thread may call while this one is inside a TLS read.
  vwt::platform::TlsChannel* tls_;
};
