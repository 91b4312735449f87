#include "vwt/net/Socket.h"

#include "vwt/lang/AutoArrayPtr.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/System.h"
#include "vwt/net/SocketInputStream.h"
#include "vwt/net/SocketOutputStream.h"
#include "vwt/platform/Sockets.h"

namespace sockets = vwt::platform;

namespace {
const unsigned int TIMED_OUT = 10060;
}

Socket::Socket(const String& host, int port)
    : handle_(sockets::NO_SOCKET), idleMs_(0), deadline_(0), input_(nullptr), output_(nullptr) {
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

void Socket::awaitData() {
  if (idleMs_ == 0 && deadline_ == 0) return;
  int64_t wait = idleMs_ > 0 ? idleMs_ : INT32_MAX;
  if (deadline_ > 0) {
    int64_t left = deadline_ - System::currentTimeMillisBoot();
    if (left < wait) wait = left;
  }
  unsigned int error = 0;
  int ready = wait > 0 ? sockets::waitReadable(handle_, static_cast<int>(wait), &error) : 0;
  if (ready < 0) throw Exception(Resource::getString(-2505), error);
  if (ready == 0) throw Exception(Resource::getString(-2506), TIMED_OUT);
}

int Socket::read() {
  awaitData();
  char b;
  unsigned int error = 0;
  int n = sockets::receiveSome(handle_, &b, 1, &error);
  if (n < 0) throw Exception(Resource::getString(-2504), error);
  return n == 0 ? -1 : static_cast<unsigned char>(b);
}

int Socket::read(char* buf, int off, int len) {
  if (len <= 0) return 0;
  awaitData();
  unsigned int error = 0;
  int n = sockets::receiveSome(handle_, buf + off, len, &error);
  if (n < 0) throw Exception(Resource::getString(-2505), error);
  return n == 0 ? -1 : n;
}

void Socket::write(int b) {
  char c = static_cast<char>(b);
  unsigned int error = 0;
  int n;
  while ((n = sockets::sendSome(handle_, &c, 1, &error)) == 0) {
  }
  if (n < 0) throw Exception(Resource::getString(-2502), error);
}

void Socket::write(const char* buf, int off, int len) {
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
