#include "service/RenderService.h"

#include <httplib.h>
#include <netdb.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <stdexcept>

#include "service/WorkerPool.h"

namespace vesk {

namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t MAX_BODY = 1u << 20;  // the largest legitimate body is an upload chunk of ~80 kB
// httplib buffers a request line or header line whole before it checks its length, so the stream
// itself bounds what one request may send.
constexpr size_t MAX_REQUEST_BYTES = MAX_BODY + (64u << 10);
constexpr size_t KEPT_WORKERS = 4;
constexpr int WORKER_IDLE_MS = 10000;

void addressOf(int sock, bool peer, std::string& ip, int& port) {
  sockaddr_storage a{};
  socklen_t len = sizeof a;
  int r = peer ? getpeername(sock, reinterpret_cast<sockaddr*>(&a), &len)
               : getsockname(sock, reinterpret_cast<sockaddr*>(&a), &len);
  char host[NI_MAXHOST], serv[NI_MAXSERV];
  if (r != 0 || getnameinfo(reinterpret_cast<sockaddr*>(&a), len, host, sizeof host, serv, sizeof serv,
                            NI_NUMERICHOST | NI_NUMERICSERV) != 0) {
    return;
  }
  ip = host;
  port = std::atoi(serv);
}

// One connection's socket as httplib sees it. httplib's own stream times out each read on its own,
// so a client sending a byte a second would never be cut off; here the whole request has one
// deadline, the whole answer another, and every wait also ends when the service stops.
class DeadlineStream : public httplib::Stream {
 public:
  DeadlineStream(int sock, int stopFd, const ServiceConfig& c)
      : sock_(sock),
        stopFd_(stopFd),
        readDeadline_(Clock::now() + std::chrono::milliseconds(c.requestTimeoutMs)),
        answerTimeout_(c.answerTimeoutMs) {}

  bool is_readable() const override { return begin_ < end_ || waitFor(POLLIN, readDeadline_); }

  bool is_writable() const override { return !cutOff_ && waitFor(POLLOUT, answerDeadline()); }

  ssize_t read(char* ptr, size_t size) override {
    if (cutOff_) return -1;
    if (begin_ == end_) {
      ssize_t n = -1;
      for (;;) {
        if (!waitFor(POLLIN, readDeadline_)) {
          cutOff_ = true;  // too late: no answer, the connection just closes
          return -1;
        }
        n = ::recv(sock_, buffer_, sizeof buffer_, MSG_DONTWAIT);
        if (n >= 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) break;
      }
      if (n <= 0) return n;
      total_ += static_cast<size_t>(n);
      if (total_ > MAX_REQUEST_BYTES) {
        cutOff_ = true;
        return -1;
      }
      begin_ = 0;
      end_ = static_cast<size_t>(n);
    }
    size_t n = std::min(size, end_ - begin_);
    std::memcpy(ptr, buffer_ + begin_, n);
    begin_ += n;
    return static_cast<ssize_t>(n);
  }

  // httplib writes the header block and the body with one call each and does not retry a short
  // write, so this sends everything or fails.
  ssize_t write(const char* ptr, size_t size) override {
    if (cutOff_) return -1;
    Clock::time_point deadline = answerDeadline();
    size_t done = 0;
    while (done < size) {
      if (!waitFor(POLLOUT, deadline)) return -1;
      ssize_t n = ::send(sock_, ptr + done, size - done, MSG_DONTWAIT | MSG_NOSIGNAL);
      if (n < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) continue;
        return -1;
      }
      done += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(size);
  }

  void get_remote_ip_and_port(std::string& ip, int& port) const override { addressOf(sock_, true, ip, port); }
  void get_local_ip_and_port(std::string& ip, int& port) const override { addressOf(sock_, false, ip, port); }
  socket_t socket() const override { return sock_; }

 private:
  Clock::time_point answerDeadline() const {
    if (!answering_) {
      answering_ = true;
      answerDeadline_ = Clock::now() + std::chrono::milliseconds(answerTimeout_);
    }
    return answerDeadline_;
  }

  // False when the deadline passes or the service stops first. A hang-up or error counts as
  // ready: the recv or send that follows reports it.
  bool waitFor(short events, Clock::time_point deadline) const {
    for (;;) {
      auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0) return false;
      pollfd fds[2] = {{sock_, events, 0}, {stopFd_, POLLIN, 0}};
      int n = ::poll(fds, 2, static_cast<int>(std::min<decltype(left)>(left, 60000)));
      if (n < 0 && errno != EINTR) return false;
      if (n <= 0) continue;
      if (fds[1].revents != 0) return false;
      if (fds[0].revents != 0) return true;
    }
  }

  const int sock_;
  const int stopFd_;
  const Clock::time_point readDeadline_;
  const int answerTimeout_;
  mutable bool answering_ = false;
  mutable Clock::time_point answerDeadline_;
  bool cutOff_ = false;
  size_t total_ = 0;
  size_t begin_ = 0, end_ = 0;
  char buffer_[4096];
};

class PoolQueue : public httplib::TaskQueue {
 public:
  explicit PoolQueue(size_t maxWorkers) : pool_(maxWorkers, KEPT_WORKERS, WORKER_IDLE_MS) {}
  void enqueue(std::function<void()> fn) override { pool_.enqueue(std::move(fn)); }
  void shutdown() override { pool_.shutdown(); }

 private:
  WorkerPool pool_;
};

void reply(httplib::Response& res, const GatewayReply& r) {
  res.status = r.status;
  res.set_content(r.body, r.contentType.c_str());
}

}  // namespace

// httplib's server with one request per connection, read through a DeadlineStream, and workers
// that grow with the number of open connections.
class ConnectionServer : public httplib::Server {
 public:
  explicit ConnectionServer(const ServiceConfig& config)
      : config_(config), stopFd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    size_t maxWorkers = config.maxWorkers;
    new_task_queue = [maxWorkers] { return new PoolQueue(maxWorkers); };
  }
  ~ConnectionServer() override {
    if (stopFd_ >= 0) ::close(stopFd_);
  }

  // httplib listens with a backlog of 5: a burst of connects would wait for SYN retries.
  void widenBacklog() { ::listen(svr_sock_, SOMAXCONN); }

  // Ends every wait on a client at once, so stopping does not wait out their deadlines. The
  // counter stays readable from then on.
  void wakeConnections() {
    uint64_t one = 1;
    if (stopFd_ >= 0 && ::write(stopFd_, &one, sizeof one) < 0) {
      // already signalled often enough to overflow: it is readable either way
    }
  }

 private:
  bool process_and_close_socket(socket_t sock) override {
    bool ok = false;
    {
      DeadlineStream stream(sock, stopFd_, config_);
      bool clientClosed = false;
      // Close after every answer: clients of this protocol read an unchunked body until the
      // connection closes, so keeping it open would hold each of them for the keep-alive time.
      ok = process_request(stream, true, clientClosed, nullptr);
    }
    ::shutdown(sock, SHUT_RDWR);
    ::close(sock);
    return ok;
  }

  const ServiceConfig config_;
  const int stopFd_;
};

RenderService::RenderService(const ServiceConfig& config)
    : state_(config), gateway_(state_), control_(state_), server_(new ConnectionServer(config)) {
  server_->set_payload_max_length(MAX_BODY);
  server_->set_tcp_nodelay(true);  // headers and body go out in separate writes
  server_->Post(R"(/br/wm(;jsessionid=[^/?]*)?)",
                [this](const httplib::Request& req, httplib::Response& res) {
                  GatewayRequest g;
                  g.contentType = req.get_header_value("Content-Type");
                  g.body = req.body;
                  reply(res, gateway_.handle(g));
                });
  auto control = [this](const httplib::Request& req, httplib::Response& res) {
    std::map<std::string, std::string> params;
    for (const auto& p : req.params) params.emplace(p.first, p.second);
    reply(res, control_.handle(req.matches[1], params, req.remote_addr));
  };
  server_->Get(R"(/control/([a-z-]+))", control);
  server_->Post(R"(/control/([a-z-]+))", control);
}

RenderService::~RenderService() { stop(); }

int RenderService::start() {
  const ServiceConfig& c = state_.config;
  int port = c.port;
  if (port == 0) {
    port = server_->bind_to_any_port(c.host);
  } else if (!server_->bind_to_port(c.host, port)) {
    port = -1;
  }
  if (port <= 0) throw std::runtime_error("cannot listen on " + c.host + ":" + std::to_string(c.port));
  server_->widenBacklog();
  state_.config.port = port;
  if (!c.portFile.empty()) {
    std::string tmp = c.portFile + ".tmp";
    {
      std::ofstream out(tmp);
      out << port << "\n";
    }
    std::rename(tmp.c_str(), c.portFile.c_str());
  }
  thread_ = std::thread([this] { server_->listen_after_bind(); });
  // stop() only takes effect on a running listener, so do not return before it runs.
  while (!server_->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return port;
}

void RenderService::stop() {
  if (server_) {
    server_->wakeConnections();
    server_->stop();
  }
  if (thread_.joinable()) thread_.join();
}

}  // namespace vesk
