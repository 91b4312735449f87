#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ServiceHarness.h"

namespace vesktest {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

const std::string PUBLIC_KEY_REQUEST =
    "POST /br/wm HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/x-www-form-urlencoded\r\n"
    "Content-Length: 3\r\n\r\nc=R";

// A loopback connection driven byte by byte, so a test sees exactly when the service closes it.
class RawConnection {
 public:
  explicit RawConnection(int port) {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    timeval tv{2, 0};  // a send into a full buffer must not hang the test
    connected_ = fd_ >= 0 && ::setsockopt(fd_, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv) == 0 &&
                 ::connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  }
  ~RawConnection() {
    if (fd_ >= 0) ::close(fd_);
  }
  RawConnection(const RawConnection&) = delete;
  RawConnection& operator=(const RawConnection&) = delete;

  bool connected() const { return connected_; }

  bool send(const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
      ssize_t n = ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
      if (n <= 0) return false;
      done += static_cast<size_t>(n);
    }
    return true;
  }

  // Reads what arrives for up to `wait`; true once the service has closed (or reset) the connection.
  bool readUntilClosed(milliseconds wait) {
    Clock::time_point end = Clock::now() + wait;
    while (!closed_) {
      auto left =
          std::max<long long>(0, std::chrono::duration_cast<milliseconds>(end - Clock::now()).count());
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, static_cast<int>(left)) <= 0) {
        if (left == 0) break;
        continue;
      }
      char buf[4096];
      ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
      if (n > 0) {
        received_.append(buf, static_cast<size_t>(n));
      } else if (n == 0 || errno == ECONNRESET) {
        closed_ = true;
      } else if (errno != EINTR && errno != EAGAIN) {
        break;
      }
    }
    return closed_;
  }

  const std::string& received() const { return received_; }

 private:
  int fd_ = -1;
  bool connected_ = false;
  bool closed_ = false;
  std::string received_;
};

// Splits an answer read to its close; the body must be exactly Content-Length bytes.
struct Answer {
  std::string statusLine, headers, body;
  bool whole = false;
};

Answer parse(const std::string& raw) {
  Answer a;
  size_t lineEnd = raw.find("\r\n"), headEnd = raw.find("\r\n\r\n");
  if (lineEnd == std::string::npos || headEnd == std::string::npos) return a;
  a.statusLine = raw.substr(0, lineEnd);
  a.headers = raw.substr(lineEnd + 2, headEnd - lineEnd);
  a.body = raw.substr(headEnd + 4);
  size_t at = a.headers.find("Content-Length: ");
  a.whole = at != std::string::npos && std::stoul(a.headers.substr(at + 16)) == a.body.size();
  return a;
}

using ConnectionTest = ServiceHarness;

// A connection carries one request and is closed right after its answer, whatever the client
// asked for: clients of this protocol read the body until the close.
TEST_F(ConnectionTest, ClosesEachConnectionAfterItsAnswer) {
  struct Case {
    const char* name;
    std::string request;
    size_t bodySize;
  } cases[] = {
      {"no Connection header", PUBLIC_KEY_REQUEST, 296},
      {"keep-alive asked for",
       "POST /br/wm HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: keep-alive\r\n"
       "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: 3\r\n\r\nc=R",
       296},
      {"control read-out", "GET /control/bookmarks?user=1001 HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n", 10},
  };
  for (const Case& c : cases) {
    RawConnection conn(port_);
    ASSERT_TRUE(conn.connected()) << c.name;
    ASSERT_TRUE(conn.send(c.request)) << c.name;
    // Well inside the 5 s a kept-alive connection would stay open; only a hang guard.
    EXPECT_TRUE(conn.readUntilClosed(milliseconds(3000))) << c.name;
    Answer a = parse(conn.received());
    EXPECT_EQ(a.statusLine, "HTTP/1.1 200 OK") << c.name;
    EXPECT_NE(a.headers.find("Connection: close\r\n"), std::string::npos) << c.name;
    EXPECT_TRUE(a.whole) << c.name;
    EXPECT_EQ(a.body.size(), c.bodySize) << c.name;
  }
  // The protocol client, which keeps no connection, still gets through a session.
  connect();
  EXPECT_GT(client_->userId(), 0);
}

// 64 clients sending their request a byte a second and 200 that send nothing hold a worker each;
// a well-behaved client beside them is still answered.
TEST_F(ConnectionTest, AnswersAGoodClientBesideSlowAndIdleOnes) {
  std::vector<std::unique_ptr<RawConnection>> idle, slow;
  for (int i = 0; i < 200; ++i) {
    idle.push_back(std::make_unique<RawConnection>(port_));
    ASSERT_TRUE(idle.back()->connected());
  }
  for (int i = 0; i < 64; ++i) {
    slow.push_back(std::make_unique<RawConnection>(port_));
    ASSERT_TRUE(slow.back()->connected());
  }
  const std::string slowRequest =
      "POST /br/wm HTTP/1.1\r\nHost: slow.test\r\nX-Filler: " + std::string(60, 'x') +
      "\r\nContent-Type: application/x-www-form-urlencoded\r\n"
      "Content-Length: 3\r\n\r\nc=R";
  std::atomic<bool> done{false};
  std::atomic<int> rounds{0};
  std::thread drip([&] {
    // At most one request's worth of rounds; far more than the test lasts.
    for (size_t i = 0; i < slowRequest.size() && !done; ++i) {
      for (auto& s : slow) s->send(slowRequest.substr(i, 1));
      ++rounds;
      for (int k = 0; k < 20 && !done; ++k) std::this_thread::sleep_for(milliseconds(50));
    }
  });
  for (int k = 0; k < 200 && rounds < 1; ++k) std::this_thread::sleep_for(milliseconds(10));

  RawConnection good(port_);
  ASSERT_TRUE(good.connected());
  ASSERT_TRUE(good.send(PUBLIC_KEY_REQUEST));
  EXPECT_TRUE(good.readUntilClosed(milliseconds(5000)));  // hang guard only
  Answer a = parse(good.received());
  EXPECT_EQ(a.statusLine, "HTTP/1.1 200 OK");
  EXPECT_EQ(a.body.size(), 296u);
  EXPECT_EQ(client_->fetchPublicKey().size(), 296u);

  // The slow and idle clients were all still waiting: none had been answered or dropped.
  int stillOpen = 0;
  for (auto* group : {&idle, &slow}) {
    for (auto& s : *group) stillOpen += s->readUntilClosed(milliseconds(0)) ? 0 : 1;
  }
  EXPECT_EQ(stillOpen, 264);
  done = true;
  drip.join();
}

class ShortDeadlineTest : public ServiceHarness {
 protected:
  void configure(vesk::ServiceConfig& c) override { c.requestTimeoutMs = 300; }
};

// A request that has not arrived whole by its deadline is cut off without an answer, and the
// service goes on answering.
TEST_F(ShortDeadlineTest, CutsOffARequestPastItsDeadline) {
  struct Case {
    const char* name;
    std::string first;  // sent at once
    std::string drip;   // then a byte every 100 ms
  } cases[] = {
      {"nothing sent", "", ""},
      {"headers a byte at a time", "POST /br/wm HTTP/1.1\r\n",
       "Host: 127.0.0.1\r\nX-Filler: xxxxxxxxxxxxxxxxxxxxx"},
      {"body never completes",
       "POST /br/wm HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/x-www-form-urlencoded\r\n"
       "Content-Length: 100\r\n\r\nc=R&",
       ""},
      {"body a byte at a time",
       "POST /br/wm HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/x-www-form-urlencoded\r\n"
       "Content-Length: 60\r\n\r\n",
       "c=R&aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"},
  };
  for (const Case& c : cases) {
    RawConnection conn(port_);
    ASSERT_TRUE(conn.connected()) << c.name;
    ASSERT_TRUE(conn.send(c.first)) << c.name;
    bool closed = false;
    // 30 steps of 100 ms: ten times the deadline, and the drip never completes a request.
    for (size_t i = 0; i < 30 && !closed; ++i) {
      if (i < c.drip.size()) conn.send(c.drip.substr(i, 1));
      closed = conn.readUntilClosed(milliseconds(100));
    }
    EXPECT_TRUE(closed) << c.name;
    EXPECT_EQ(conn.received(), "") << c.name;
  }
  EXPECT_EQ(client_->fetchPublicKey().size(), 296u);
}

// A request line with no end is refused once it passes the largest request the service takes,
// instead of being buffered without bound.
TEST_F(ConnectionTest, CutsOffARequestLineWithoutEnd) {
  RawConnection conn(port_);
  ASSERT_TRUE(conn.connected());
  std::string line = "GET /" + std::string(64 << 10, 'a');
  bool sending = conn.send(line);
  for (int i = 0; i < 160 && sending; ++i) sending = conn.send(line);  // 10 MB at most
  EXPECT_FALSE(sending);
  EXPECT_TRUE(conn.readUntilClosed(milliseconds(3000)));
  EXPECT_EQ(client_->fetchPublicKey().size(), 296u);
}

}  // namespace
}  // namespace vesktest
