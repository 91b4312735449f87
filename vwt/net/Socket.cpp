#include "vwt/net/Socket.h"

#include <memory>
#include <string>

#include "vwt/lang/AutoArrayPtr.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/System.h"
#include "vwt/net/SocketInputStream.h"
#include "vwt/net/SocketOutputStream.h"
#include "vwt/platform/Sockets.h"
#include "vwt/platform/TlsChannel.h"

namespace sockets = vwt::platform;
using vwt::platform::TlsChannel;

namespace {
const unsigned int TIMED_OUT = 10060;
const unsigned int NOT_SOCKET = 10038;
}  // namespace

// The socket's own bytes under its TLS channel, read within the socket's limits.
class SocketTlsTransport : public TlsChannel::Transport {
 public:
  explicit SocketTlsTransport(Socket* socket) : socket_(socket) {}

  int receive(char* buf, int len, unsigned int* error) override {
    int ready = socket_->waitForData(error);
    if (ready < 0) return -1;
    if (ready == 0) {
      *error = TIMED_OUT;
      return -1;
    }
    int n = sockets::receiveSome(socket_->handle_, buf, len, error);
    // A close from another thread wakes the receive with an end or a reset: neither is the peer's.
    if (n <= 0 && socket_->handle_ == sockets::NO_SOCKET) {
      *error = NOT_SOCKET;
      return -1;
    }
    return n;
  }

  int send(const char* buf, int len, unsigned int* error) override {
    return sockets::sendSome(socket_->handle_, buf, len, error);
  }

 private:
  Socket* socket_;  // owns the channel that owns this
};

Socket::Socket(const String& host, int port)
    : handle_(sockets::NO_SOCKET),
      idleMs_(0),
      deadline_(0),
      input_(nullptr),
      output_(nullptr),
      tls_(nullptr) {
  int handle;
  unsigned int code = sockets::createStreamSocket(&handle);
  if (code != 0) throw Exception(Resource::getString(-2500), code);
  int room = String::maxAsciiBytes(host.length()) + 1;
  AutoArrayPtr<char> name(new char[room]);
  try {
    host.getCStringAsAscii(name.get(), room - 1);
  } catch (...) {
    sockets::closeSocket(handle);
    throw;
  }
  code = sockets::connectStreamSocket(&handle, name.get(), port);
  if (code != 0) {
    sockets::closeSocket(handle);
    throw Exception(Resource::getString(-2501, host, String(port)), code);
  }
  handle_ = handle;
}

Socket::~Socket() {
  close();
  delete input_;
  delete output_;
  delete tls_;
}

SocketInputStream* Socket::getInputStream() {
  if (!input_) input_ = new SocketInputStream(this);
  return input_;
}

SocketOutputStream* Socket::getOutputStream() {
  if (!output_) output_ = new SocketOutputStream(this);
  return output_;
}

void Socket::setReadLimits(int idleMs, int64_t deadline) {
  idleMs_ = idleMs > 0 ? idleMs : 0;
  deadline_ = deadline > 0 ? deadline : 0;
}

int Socket::waitForData(unsigned int* error) {
  if (idleMs_ == 0 && deadline_ == 0) return 1;
  int64_t wait = idleMs_ > 0 ? idleMs_ : INT32_MAX;
  if (deadline_ > 0) {
    int64_t left = deadline_ - System::currentTimeMillisBoot();
    if (left < wait) wait = left;
  }
  return wait > 0 ? sockets::waitReadable(handle_, static_cast<int>(wait), error) : 0;
}

void Socket::awaitData() {
  if (idleMs_ == 0 && deadline_ == 0) return;
  unsigned int error = 0;
  int ready = waitForData(&error);
  if (ready < 0) throw Exception(Resource::getString(-2505), error);
  if (ready == 0) throw Exception(Resource::getString(-2506), TIMED_OUT);
}

int Socket::read() {
  if (tls_) {
    char b;
    int n = readSecure(&b, 1, -2504);
    return n < 0 ? -1 : static_cast<unsigned char>(b);
  }
  awaitData();
  char b;
  unsigned int error = 0;
  int n = sockets::receiveSome(handle_, &b, 1, &error);
  if (n < 0) throw Exception(Resource::getString(-2504), error);
  return n == 0 ? -1 : static_cast<unsigned char>(b);
}

int Socket::read(char* buf, int off, int len) {
  if (len <= 0) return 0;
  if (tls_) return readSecure(buf + off, len, -2505);
  awaitData();
  unsigned int error = 0;
  int n = sockets::receiveSome(handle_, buf + off, len, &error);
  if (n < 0) throw Exception(Resource::getString(-2505), error);
  return n == 0 ? -1 : n;
}

void Socket::write(int b) {
  char c = static_cast<char>(b);
  if (tls_) return writeSecure(&c, 1);
  unsigned int error = 0;
  int n;
  while ((n = sockets::sendSome(handle_, &c, 1, &error)) == 0) {
  }
  if (n < 0) throw Exception(Resource::getString(-2502), error);
}

void Socket::write(const char* buf, int off, int len) {
  if (tls_) return writeSecure(buf + off, len);
  int sent = 0;
  while (sent < len) {
    unsigned int error = 0;
    int n = sockets::sendSome(handle_, buf + off + sent, len - sent, &error);
    if (n < 0) throw Exception(Resource::getString(-2502), error);
    sent += n;
  }
}

int Socket::available() {
  unsigned int error = 0;
  if (tls_) {
    if (handle_ == sockets::NO_SOCKET) throw Exception(Resource::getString(-2503), NOT_SOCKET);
    // Only what is decrypted already can be had without waiting.
    return tls_->pending();
  }
  int n = sockets::readableBytes(handle_, &error);
  if (n < 0) throw Exception(Resource::getString(-2503), error);
  return n;
}

void Socket::flush() { sockets::flushSocket(handle_); }

void Socket::close() {
  int handle = handle_.exchange(sockets::NO_SOCKET);
  if (handle == sockets::NO_SOCKET) return;
  sockets::shutdownSocket(handle);
  sockets::closeSocket(handle);
}

void Socket::startTls(const String& host) {
  if (tls_) return;
  int room = String::maxAsciiBytes(host.length()) + 1;
  AutoArrayPtr<char> name(new char[room]);
  host.getCStringAsAscii(name.get(), room - 1);
  std::unique_ptr<TlsChannel> channel(new TlsChannel(new SocketTlsTransport(this)));
  std::string reason;
  unsigned int error = 0;
  TlsChannel::Outcome outcome = channel->handshake(name.get(), &reason, &error);
  if (outcome == TlsChannel::OK) {
    tls_ = channel.release();
    return;
  }
  channel.reset();
  // Nothing more goes over this connection, least of all in plain text.
  close();
  // OpenSSL has no words for a failure of the socket under it.
  String why =
      reason.empty() ? Resource::getString(error == TIMED_OUT ? -2506 : -2505) : String(reason.c_str());
  if (outcome == TlsChannel::NOT_TRUSTED) throw Exception(Resource::getString(-2508, host, why), error);
  throw Exception(Resource::getString(-2507, host, why), error);
}

bool Socket::isSecure() const { return tls_ != nullptr; }

int Socket::readSecure(char* buf, int len, int failureId) {
  // Bytes the channel holds are not readable any more once the socket is closed.
  if (handle_ == sockets::NO_SOCKET) throw Exception(Resource::getString(failureId), NOT_SOCKET);
  unsigned int error = 0;
  int n = tls_->read(buf, len, &error);
  if (n > 0) return n;
  if (n == 0) return -1;
  if (error == TIMED_OUT) throw Exception(Resource::getString(-2506), TIMED_OUT);
  throw Exception(Resource::getString(failureId), error);
}

void Socket::writeSecure(const char* buf, int len) {
  int sent = 0;
  while (sent < len) {
    unsigned int error = 0;
    int n = tls_->write(buf + sent, len - sent, &error);
    if (n < 0) throw Exception(Resource::getString(-2502), error);
    sent += n;
  }
}
