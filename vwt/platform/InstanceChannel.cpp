#include "vwt/platform/InstanceChannel.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstring>

namespace vwt {
namespace platform {

namespace {

// The request: a fixed header, then `length` bytes. The reply: one int32.
const uint32_t MAGIC = 0x49545756;  // "VWTI"
enum RequestType : uint32_t { MESSAGE = 1, RAISE = 2 };
struct Header {
  uint32_t magic;
  uint32_t type;
  int32_t kind;
  uint32_t length;
};

// A sender has this long to deliver its whole request once connected.
const int REQUEST_MS = 5000;
// Connections being read at once, and requests waiting for the UI thread; beyond them a
// connection is closed at once, so that a flood costs neither memory nor descriptors.
const size_t MAX_READING = 8;
const size_t MAX_WAITING = 32;

using Clock = std::chrono::steady_clock;

int msUntil(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left < 0 ? 0 : static_cast<int>(left);
}

void closeFd(int fd) {
  if (fd >= 0) ::close(fd);
}

bool peerIsThisUser(int fd) {
  struct ucred cred;
  socklen_t size = sizeof cred;
  return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &size) == 0 && cred.uid == getuid();
}

std::string channelDirectory() {
  const char* runtime = getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] == '/') return runtime;
  // Without a runtime folder: our own under /tmp, made private; one that someone else made
  // or left open to others is not used.
  std::string dir = "/tmp/vwt-" + std::to_string(getuid());
  mkdir(dir.c_str(), 0700);
  struct stat st;
  if (lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid() ||
      (st.st_mode & 077) != 0) {
    return std::string();
  }
  return dir;
}

bool fillAddress(const std::string& path, sockaddr_un* address) {
  std::memset(address, 0, sizeof *address);
  address->sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof address->sun_path) return false;
  std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
  return true;
}

// Writes or reads all of [data, data + size) on a non-blocking socket before the deadline.
bool transfer(int fd, char* data, size_t size, bool out, Clock::time_point deadline) {
  size_t done = 0;
  while (done < size) {
    ssize_t n =
        out ? ::send(fd, data + done, size - done, MSG_NOSIGNAL) : ::recv(fd, data + done, size - done, 0);
    if (n > 0) {
      done += static_cast<size_t>(n);
      continue;
    }
    if (n == 0 && !out) return false;  // the other side closed
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return false;
    int left = msUntil(deadline);
    if (left == 0) return false;
    pollfd p = {fd, static_cast<short>(out ? POLLOUT : POLLIN), 0};
    if (poll(&p, 1, left) < 0 && errno != EINTR) return false;
  }
  return true;
}

int exchange(const String& windowClass, uint32_t type, int kind, const char* data, int length,
             int timeoutMs) {
  if (length < 0 || length > InstanceChannel::MAX_MESSAGE_BYTES || (length > 0 && data == nullptr)) return -1;
  sockaddr_un address;
  if (!fillAddress(InstanceChannel::socketPath(windowClass), &address)) return -1;
  Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);

  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return -1;
  struct FdHolder {
    int fd;
    ~FdHolder() { closeFd(fd); }
  } holder{fd};

  for (;;) {
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) break;
    if (errno == EINTR) continue;
    if (errno == EINPROGRESS) {
      pollfd p = {fd, POLLOUT, 0};
      int err = 0;
      socklen_t size = sizeof err;
      if (poll(&p, 1, msUntil(deadline)) != 1 || getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &size) != 0 ||
          err != 0) {
        return -1;
      }
      break;
    }
    // A full backlog: the owner is alive but behind; try again until the deadline.
    if (errno != EAGAIN || msUntil(deadline) == 0) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (!peerIsThisUser(fd)) return -1;

  Header header = {MAGIC, type, kind, static_cast<uint32_t>(length)};
  if (!transfer(fd, reinterpret_cast<char*>(&header), sizeof header, true, deadline)) return -1;
  if (length > 0 && !transfer(fd, const_cast<char*>(data), static_cast<size_t>(length), true, deadline)) {
    return -1;
  }
  int32_t reply = -1;
  if (!transfer(fd, reinterpret_cast<char*>(&reply), sizeof reply, false, deadline)) return -1;
  return reply;
}

}  // namespace

struct InstanceChannel::Request {
  int fd = -1;
  Header header = {};
  size_t headerRead = 0;
  std::vector<char> data;
  size_t dataRead = 0;
  Clock::time_point deadline;

  ~Request() { closeFd(fd); }
  bool complete() const { return headerRead == sizeof header && dataRead == data.size(); }
  // Reads what has arrived. False when the sender closed, failed or broke the protocol.
  bool readMore();
};

bool InstanceChannel::Request::readMore() {
  for (;;) {
    char* into;
    size_t want;
    if (headerRead < sizeof header) {
      into = reinterpret_cast<char*>(&header) + headerRead;
      want = sizeof header - headerRead;
    } else if (dataRead < data.size()) {
      into = data.data() + dataRead;
      want = data.size() - dataRead;
    } else {
      return true;
    }
    ssize_t n = ::recv(fd, into, want, 0);
    if (n == 0) return false;
    if (n < 0) return errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK;
    if (headerRead < sizeof header) {
      headerRead += static_cast<size_t>(n);
      if (headerRead < sizeof header) continue;
      // The header is whole: check it before trusting the length it announces.
      bool known = header.type == MESSAGE || (header.type == RAISE && header.length == 0);
      if (header.magic != MAGIC || !known || header.length > static_cast<uint32_t>(MAX_MESSAGE_BYTES)) {
        return false;
      }
      data.resize(header.length);
    } else {
      dataRead += static_cast<size_t>(n);
    }
  }
}

InstanceChannel::~InstanceChannel() {
  if (acceptor_.joinable()) {
    char stop = 0;
    while (::write(stopPipe_[1], &stop, 1) < 0 && errno == EINTR) {
    }
    acceptor_.join();
  }
  closeFd(listenFd_);
  // The socket goes before the lock: whoever claims the class next binds a socket of its own,
  // which must not then be removed from under it.
  if (!path_.empty() && listenFd_ >= 0) unlink(path_.c_str());
  closeFd(stopPipe_[0]);
  closeFd(stopPipe_[1]);
  closeFd(lockFd_);
}

std::string InstanceChannel::socketPath(const String& windowClass) {
  std::string dir = channelDirectory();
  if (dir.empty()) return dir;
  std::string name = dir + "/vwt-";
  static const char hex[] = "0123456789ABCDEF";
  for (int i = 0; i < windowClass.length(); ++i) {
    char16_t c = windowClass.charAt(i);
    bool plain = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
                 c == u'.' || c == u'_' || c == u'-';
    if (plain) {
      name += static_cast<char>(c);
    } else {
      name += '%';
      for (int shift = 12; shift >= 0; shift -= 4) name += hex[(c >> shift) & 0xF];
    }
  }
  return name + ".sock";
}

std::unique_ptr<InstanceChannel> InstanceChannel::claim(const String& windowClass, MessageHandler onMessage,
                                                        int* error) {
  int ignored;
  if (error == nullptr) error = &ignored;
  *error = 0;
  std::unique_ptr<InstanceChannel> channel(new InstanceChannel());
  channel->onMessage_ = std::move(onMessage);
  std::string path = socketPath(windowClass);
  sockaddr_un address;
  if (!fillAddress(path, &address)) {
    *error = path.empty() ? EACCES : ENAMETOOLONG;
    return nullptr;
  }
  std::string lockPath = path.substr(0, path.size() - 5) + ".lock";
  channel->lockFd_ = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (channel->lockFd_ < 0) {
    *error = errno;
    return nullptr;
  }
  int r;
  while ((r = flock(channel->lockFd_, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
  }
  if (r != 0) {
    if (errno != EWOULDBLOCK) *error = errno;
    return nullptr;  // a live process holds the class
  }
  // Whatever socket is there was left by a process that has ended.
  if (unlink(path.c_str()) != 0 && errno != ENOENT) {
    *error = errno;
    return nullptr;
  }
  channel->listenFd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (channel->listenFd_ < 0) {
    *error = errno;
    return nullptr;
  }
  channel->path_ = path;
  mode_t oldMask = umask(077);
  r = bind(channel->listenFd_, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  int bindError = errno;
  umask(oldMask);
  if (r != 0 || listen(channel->listenFd_, 16) != 0 ||
      pipe2(channel->stopPipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
    *error = r != 0 ? bindError : errno;
    if (r != 0) channel->path_.clear();  // not ours to remove
    return nullptr;
  }
  channel->acceptor_ = std::thread(&InstanceChannel::runAcceptor, channel.get());
  return channel;
}

int InstanceChannel::send(const String& windowClass, int kind, const char* data, int length, int timeoutMs) {
  return exchange(windowClass, MESSAGE, kind, data, length, timeoutMs);
}

bool InstanceChannel::raise(const String& windowClass, int timeoutMs) {
  return exchange(windowClass, RAISE, 0, nullptr, 0, timeoutMs) == 0;
}

void InstanceChannel::setRaiseHandler(std::function<void()> onRaise) {
  std::lock_guard<std::mutex> held(mutex_);
  onRaise_ = std::move(onRaise);
}

void InstanceChannel::setWakeCallback(std::function<void()> wake) {
  bool waiting;
  {
    std::lock_guard<std::mutex> held(mutex_);
    wake_ = wake;
    waiting = !waiting_.empty();
  }
  if (waiting && wake) wake();
}

bool InstanceChannel::waitForRequest(int timeoutMs) {
  std::unique_lock<std::mutex> held(mutex_);
  auto ready = [this] { return !waiting_.empty(); };
  if (timeoutMs < 0) {
    arrived_.wait(held, ready);
    return true;
  }
  return arrived_.wait_for(held, std::chrono::milliseconds(timeoutMs), ready);
}

int InstanceChannel::serve() {
  size_t count;
  {
    std::lock_guard<std::mutex> held(mutex_);
    count = waiting_.size();
  }
  // Only those waiting now: a handler that takes long must not keep the loop here for ever.
  int served = 0;
  for (; count > 0; --count) {
    std::unique_ptr<Request> request;
    std::function<void()> onRaise;
    {
      std::lock_guard<std::mutex> held(mutex_);
      if (waiting_.empty()) break;
      request = std::move(waiting_.front());
      waiting_.pop_front();
      onRaise = onRaise_;
    }
    int32_t reply = 0;
    if (request->header.type == RAISE) {
      if (onRaise) onRaise();
    } else {
      reply = onMessage_ ? onMessage_(request->header.kind, request->data) : 1;
    }
    // Four bytes into an empty socket buffer: never blocks. A sender that gave up is no concern.
    ::send(request->fd, &reply, sizeof reply, MSG_NOSIGNAL | MSG_DONTWAIT);
    ++served;
  }
  return served;
}

void InstanceChannel::queue(std::unique_ptr<Request> request) {
  std::function<void()> wake;
  {
    std::lock_guard<std::mutex> held(mutex_);
    if (waiting_.size() >= MAX_WAITING) return;  // closed unanswered: the sender sees -1
    waiting_.push_back(std::move(request));
    wake = wake_;
  }
  arrived_.notify_all();
  if (wake) wake();
}

void InstanceChannel::runAcceptor() {
  std::vector<std::unique_ptr<Request>> reading;
  std::vector<pollfd> polled;
  for (;;) {
    polled.clear();
    polled.push_back({stopPipe_[0], POLLIN, 0});
    polled.push_back({listenFd_, POLLIN, 0});
    int timeout = -1;
    for (const auto& r : reading) {
      polled.push_back({r->fd, POLLIN, 0});
      int left = msUntil(r->deadline);
      if (timeout < 0 || left < timeout) timeout = left;
    }
    if (poll(polled.data(), polled.size(), timeout) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (polled[0].revents != 0) return;

    // Requests first, by index into `polled`, before `reading` changes.
    std::vector<std::unique_ptr<Request>> still;
    for (size_t i = 0; i < reading.size(); ++i) {
      std::unique_ptr<Request>& r = reading[i];
      bool alive = true;
      if (polled[i + 2].revents != 0) alive = r->readMore();
      if (alive && r->complete()) {
        queue(std::move(r));
      } else if (alive && msUntil(r->deadline) > 0) {
        still.push_back(std::move(r));
      }
      // Otherwise dropped: its destructor closes the connection.
    }
    reading.swap(still);

    if (polled[1].revents != 0) {
      for (;;) {
        int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) break;
        if (reading.size() >= MAX_READING || !peerIsThisUser(fd)) {
          ::close(fd);
          continue;
        }
        std::unique_ptr<Request> r(new Request());
        r->fd = fd;
        r->deadline = Clock::now() + std::chrono::milliseconds(REQUEST_MS);
        reading.push_back(std::move(r));
      }
    }
  }
}

}  // namespace platform
}  // namespace vwt
