#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "tests/vwt/TestText.h"
#include "tests/vwt/net/LoopbackListener.h"
#include "tests/vwt/net/TestTlsServer.h"
#include "vwt/io/Connector.h"
#include "vwt/io/InputStream.h"
#include "vwt/io/OutputStream.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"
#include "vwt/net/HttpConnection.h"
#include "vwt/net/Socket.h"

namespace {

String text(const std::string& s) { return String(s.c_str()); }

// Every test trusts the shared test authority, through the variable OpenSSL reads.
class TlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/vwt-tls-XXXXXX";
    int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    ::close(fd);
    authorityPath_ = name;
    TestTlsServer("").writeAuthority(authorityPath_);
    const char* old = getenv("SSL_CERT_FILE");
    hadOld_ = old != nullptr;
    if (old) old_ = old;
    setenv("SSL_CERT_FILE", authorityPath_.c_str(), 1);
  }
  void TearDown() override {
    if (hadOld_)
      setenv("SSL_CERT_FILE", old_.c_str(), 1);
    else
      unsetenv("SSL_CERT_FILE");
    unlink(authorityPath_.c_str());
  }

  // The whole body of a GET of url.
  static std::string fetch(const std::string& url, int* code) {
    AutoPtr<HttpConnection> c(static_cast<HttpConnection*>(Connector::open(text(url), Connector::READ)));
    *code = c->getResponseCode();
    InputStream* in = c->openInputStream();
    std::string body;
    char buf[8192];
    int n;
    while ((n = in->read(buf, 0, sizeof buf)) > 0) body.append(buf, n);
    return body;
  }

  std::string authorityPath_;
  std::string old_;
  bool hadOld_ = false;
};

// A server that does not speak TLS: it says `answer` at once, before any request, then keeps what
// the client sends until the client closes, or hangs up after the first bytes when hangUp.
class PlainTalker {
 public:
  PlainTalker(std::string answer, bool hangUp) : answer_(std::move(answer)) {
    listener_ = listenOnLoopback(4, &port_);
    thread_ = std::thread([this, hangUp] {
      int c = accept(listener_, nullptr, nullptr);
      if (c < 0) return;
      send(c, answer_.data(), answer_.size(), MSG_NOSIGNAL);
      char buf[4096];
      ssize_t n;
      // A hang-up reads the hello first: closing on unread bytes would reset the connection instead.
      while ((n = recv(c, buf, sizeof buf, 0)) > 0 && !hangUp) received_.append(buf, static_cast<size_t>(n));
      close(c);
    });
  }
  ~PlainTalker() {
    shutdown(listener_, SHUT_RDWR);
    if (thread_.joinable()) thread_.join();
    close(listener_);
  }
  int port() const { return port_; }
  // What the client sent, once it has closed.
  std::string received() {
    if (thread_.joinable()) thread_.join();
    return received_;
  }

 private:
  std::string answer_;
  int listener_;
  int port_;
  std::thread thread_;
  std::string received_;
};

std::string bodyOf(size_t size) {
  std::string body(size, ' ');
  for (size_t i = 0; i < size; ++i) body[i] = static_cast<char>('a' + (i * 7 + i / 1000) % 26);
  return body;
}

}  // namespace

// A body of many TLS records arrives whole, for a length-delimited and a close-delimited response;
// the request header goes through the channel.
TEST_F(TlsTest, HttpsGetReadsTheBodyThroughTheChannel) {
  std::string body = bodyOf(300 * 1000);
  struct Case {
    const char* what;
    std::string response;
  } cases[] = {
      {"length", "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body},
      {"close", "HTTP/1.1 200 OK\r\n\r\n" + body},
  };
  for (const Case& c : cases) {
    TestTlsServer server(c.response);
    int code = 0;
    std::string got = fetch(server.base() + "/file.bin?x=1", &code);
    EXPECT_EQ(200, code) << c.what;
    EXPECT_TRUE(got == body) << c.what << ": " << got.size() << " bytes";
    ASSERT_EQ(1u, server.requests().size()) << c.what;
    std::string header = server.requests()[0].header;
    EXPECT_EQ(0u, header.find("GET /file.bin?x=1 HTTP/1.1\r\n")) << header;
    EXPECT_NE(std::string::npos, header.find("Host:127.0.0.1:" + std::to_string(server.port()))) << header;
  }
}

// The name goes out in the hello for a host name and not for an address; either is checked against
// the certificate's names.
TEST_F(TlsTest, SocketSendsTheServerNameOnlyForHostNames) {
  struct Case {
    const char16_t* host;
    const char* certificateName;
    const char* serverName;
  } cases[] = {{u"127.0.0.1", "127.0.0.1", ""}, {u"localhost", "localhost", "localhost"}};
  for (const Case& c : cases) {
    TestTlsServer server("pong", c.certificateName);
    String host(c.host, false);
    Socket s(host, server.port());
    EXPECT_FALSE(s.isSecure());
    s.startTls(host);
    EXPECT_TRUE(s.isSecure());
    s.write("ping\r\n\r\n", 0, 8);
    s.write('x');
    std::string got;
    int b;
    while ((b = s.read()) >= 0) got += static_cast<char>(b);
    EXPECT_EQ("pong", got) << c.certificateName;
    EXPECT_EQ(0, s.available());
    ASSERT_EQ(1u, server.requests().size());
    EXPECT_EQ("ping\r\n\r\n", server.requests()[0].header);
    EXPECT_EQ(c.serverName, server.requests()[0].serverName);
  }
}

// A server that cannot prove who it is, does not speak TLS or hangs up ends the request with the
// reason and the socket closed; nothing goes out in plain text.
TEST_F(TlsTest, FailuresAreReportedAndNothingFallsBackToPlainText) {
  TestTlsServer otherName("HTTP/1.1 200 OK\r\n\r\nsecret", "other.example");
  TestTlsServer otherAuthority("HTTP/1.1 200 OK\r\n\r\nsecret", "127.0.0.1", false);
  PlainTalker plain("HTTP/1.1 400 Bad Request\r\n\r\n", false);
  PlainTalker hangUp("", true);
  struct Case {
    const char* what;
    int port;
    int id;
    const char* reason;
  } cases[] = {
      {"name", otherName.port(), -2508, "IP address mismatch"},
      {"authority", otherAuthority.port(), -2508, "unable to get local issuer certificate"},
      {"plain", plain.port(), -2507, "wrong version number"},
      {"hang-up", hangUp.port(), -2507, "unexpected eof while reading"},
  };
  for (const Case& c : cases) {
    std::string url = "https://127.0.0.1:" + std::to_string(c.port) + "/";
    AutoPtr<HttpConnection> conn(static_cast<HttpConnection*>(Connector::open(text(url), Connector::READ)));
    try {
      conn->getResponseCode();
      ADD_FAILURE() << c.what;
    } catch (const Exception& e) {
      String want = Resource::getString(c.id, u"127.0.0.1"_s, String(c.reason));
      EXPECT_TRUE(e.getRawMessage().equals(want)) << c.what << ": " << narrow(e.getRawMessage());
    }
  }
  // The plain server saw only the TLS hello, never the request.
  std::string hello = plain.received();
  EXPECT_FALSE(hello.empty());
  EXPECT_EQ(std::string::npos, hello.find("GET"));
  EXPECT_TRUE(otherName.requests().empty());
  EXPECT_TRUE(otherAuthority.requests().empty());

  Socket s(u"127.0.0.1"_s, otherName.port());
  EXPECT_THROW(s.startTls(u"127.0.0.1"_s), Exception);
  EXPECT_FALSE(s.isSecure());
  try {
    s.write('x');
    ADD_FAILURE();
  } catch (const Exception& e) {
    EXPECT_EQ(10038u, e.getCode());
  }
}

// A quiet server holds the client in the handshake (a listener that never accepts) or in the body
// (after three of its hundred bytes): the wait ends at the idle limit, or when another thread
// aborts the request.
TEST_F(TlsTest, BlockedHandshakeOrReadEndsAtTheLimitOrOnAbort) {
  TestTlsServer server("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nabc");
  server.setHoldOpen(true);
  int silentPort;
  int silent = listenOnLoopback(4, &silentPort);
  struct Case {
    const char* what;
    bool inHandshake;
    bool abort;
    unsigned int code;
    int id;
  } cases[] = {
      {"body, idle limit", false, false, 10060, -2506},
      {"body, abort", false, true, 10038, -2505},
      {"handshake, idle limit", true, false, 10060, -2507},
      {"handshake, abort", true, true, 10038, -2507},
  };
  for (const Case& c : cases) {
    std::string url = c.inHandshake ? "https://127.0.0.1:" + std::to_string(silentPort) : server.base();
    AutoPtr<HttpConnection> conn(static_cast<HttpConnection*>(Connector::open(text(url), Connector::READ)));
    if (!c.abort) conn->setTimeouts(100, 0);
    std::atomic<bool> ended{false};
    std::thread aborter;
    auto startAborting = [&] {
      // Again and again until the wait ends: one abort could come before the socket is made.
      aborter = std::thread([&] {
        while (!ended) {
          std::this_thread::sleep_for(std::chrono::milliseconds(50));
          conn->abort();
        }
      });
    };
    char buf[200];
    int got = 0;
    try {
      if (c.abort && c.inHandshake) startAborting();
      ASSERT_EQ(200, conn->getResponseCode()) << c.what;
      InputStream* in = conn->openInputStream();
      if (c.abort) startAborting();
      int n;
      while ((n = in->read(buf, got, 200 - got)) > 0) got += n;
      ADD_FAILURE() << c.what << " ended with " << n;
    } catch (const Exception& e) {
      EXPECT_EQ(c.code, e.getCode()) << c.what;
      String want = c.id == -2507 ? Resource::getString(-2507, u"127.0.0.1"_s,
                                                        Resource::getString(c.code == 10060 ? -2506 : -2505))
                                  : Resource::getString(c.id);
      EXPECT_TRUE(e.getRawMessage().equals(want)) << c.what << ": " << narrow(e.getRawMessage());
    }
    ended = true;
    if (aborter.joinable()) aborter.join();
    if (!c.inHandshake) {
      EXPECT_EQ("abc", std::string(buf, got)) << c.what;
    }
  }
  close(silent);
}

// The trust store is the one SSL_CERT_FILE names when a connection starts, also when it has changed
// since an earlier connection.
TEST_F(TlsTest, TrustFollowsSslCertFile) {
  TestTlsServer server("HTTP/1.1 200 OK\r\n\r\nok");
  TestTlsServer stranger("", "127.0.0.1", false);
  std::string strangerPath = authorityPath_ + ".stranger";
  stranger.writeAuthority(strangerPath);
  struct Case {
    std::string file;
    bool trusted;
  } cases[] = {{strangerPath, false}, {authorityPath_, true}, {strangerPath, false}};
  for (const Case& c : cases) {
    setenv("SSL_CERT_FILE", c.file.c_str(), 1);
    try {
      int code = 0;
      EXPECT_EQ("ok", fetch(server.base(), &code));
      EXPECT_TRUE(c.trusted) << c.file;
    } catch (const Exception& e) {
      EXPECT_FALSE(c.trusted) << c.file;
      EXPECT_TRUE(e.getRawMessage().startsWith(Resource::getString(-2508, u"127.0.0.1"_s, String())))
          << narrow(e.getRawMessage());
    }
  }
  unlink(strangerPath.c_str());
}
