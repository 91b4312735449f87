// A 256 MB GET over loopback: HttpConnection with a BufferedInputStream read
// in 4096-byte blocks, side by side with a bare read(4096) loop on a plain
// socket and with curl, all against the same in-process server. A chunked
// body (64 KB chunks) shows what chunk parsing costs.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "tests/vwt/net/LoopbackListener.h"
#include "vwt/io/BufferedInputStream.h"
#include "vwt/io/Connector.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/net/HttpConnection.h"

namespace {

const int64_t BODY_BYTES = int64_t(256) << 20;
const int BLOCK = 4096;

// Answers every connection with the body, plain ("/plain") or chunked ("/chunked").
class BodyServer {
 public:
  BodyServer() : block_(1 << 16, 'b') {
    listener_ = listenOnLoopback(16, &port_);
    std::thread([this] { acceptLoop(); }).detach();
  }
  int port() const { return port_; }
  std::string url(const char* path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }

 private:
  void acceptLoop() {
    for (;;) {
      int c = accept(listener_, nullptr, nullptr);
      if (c < 0) return;
      std::thread([this, c] { answer(c); }).detach();
    }
  }
  bool sendAll(int c, const char* p, size_t n) {
    while (n > 0) {
      ssize_t k = send(c, p, n, MSG_NOSIGNAL);
      if (k <= 0) return false;
      p += k;
      n -= static_cast<size_t>(k);
    }
    return true;
  }
  void answer(int c) {
    std::string request;
    char buf[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
      ssize_t n = recv(c, buf, sizeof buf, 0);
      if (n <= 0) break;
      request.append(buf, static_cast<size_t>(n));
    }
    bool chunked = request.find("GET /chunked") == 0;
    std::string head =
        chunked ? "HTTP/1.1 200 OK\r\nServer: bench\r\nTransfer-Encoding: chunked\r\n\r\n"
                : "HTTP/1.1 200 OK\r\nServer: bench\r\nContent-Length: " + std::to_string(BODY_BYTES) +
                      "\r\n\r\n";
    bool ok = sendAll(c, head.data(), head.size());
    char sizeLine[32];
    int sizeLength = snprintf(sizeLine, sizeof sizeLine, "%zx\r\n", block_.size());
    for (int64_t left = BODY_BYTES; ok && left > 0; left -= static_cast<int64_t>(block_.size())) {
      if (chunked) ok = sendAll(c, sizeLine, static_cast<size_t>(sizeLength));
      ok = ok && sendAll(c, block_.data(), block_.size());
      if (chunked && ok) ok = sendAll(c, "\r\n", 2);
    }
    if (ok && chunked) sendAll(c, "0\r\n\r\n", 5);
    shutdown(c, SHUT_WR);
    while (recv(c, buf, sizeof buf, 0) > 0) {
    }
    close(c);
  }

  std::vector<char> block_;
  int listener_;
  int port_;
};

BodyServer& server() {
  static BodyServer* s = new BodyServer();  // serves until the process ends
  return *s;
}

void readThroughHttpConnection(benchmark::State& state, const char* path) {
  std::string url = server().url(path);
  char buf[BLOCK];
  int64_t total = 0;
  for (auto _ : state) {
    AutoPtr<Connection> c(Connector::open(String(url.c_str()), Connector::READ_WRITE));
    HttpConnection* http = static_cast<HttpConnection*>(c.get());
    BufferedInputStream in(http->openInputStream());
    in.setDeleteSource(false);
    int64_t got = 0;
    int n;
    while ((n = in.read(buf, 0, BLOCK)) > 0) got += n;
    if (got != BODY_BYTES) state.SkipWithError("short body");
    total += got;
    http->close();
  }
  state.SetBytesProcessed(total);
}

void HttpConnectionBuffered(benchmark::State& state) { readThroughHttpConnection(state, "/plain"); }
BENCHMARK(HttpConnectionBuffered)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void HttpConnectionChunkedBuffered(benchmark::State& state) { readThroughHttpConnection(state, "/chunked"); }
BENCHMARK(HttpConnectionChunkedBuffered)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BareSocketRead4096(benchmark::State& state) {
  int port = server().port();
  char buf[BLOCK];
  int64_t total = 0;
  for (auto _ : state) {
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a;
    memset(&a, 0, sizeof a);
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) abort();
    const char request[] = "GET /plain HTTP/1.1\r\nHost:127.0.0.1\r\n\r\n";
    if (send(s, request, sizeof request - 1, 0) < 0) abort();
    int64_t got = 0;
    ssize_t n;
    while ((n = read(s, buf, BLOCK)) > 0) got += n;
    total += got;
    close(s);
  }
  state.SetBytesProcessed(total);
}
BENCHMARK(BareSocketRead4096)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// curl as a separate process, started through the shell.
void Curl(benchmark::State& state) {
  if (std::system("command -v curl >/dev/null 2>&1") != 0) {
    state.SkipWithError("curl is not installed");
    return;
  }
  std::string command = "curl -s -o /dev/null " + server().url("/plain");
  for (auto _ : state)
    if (std::system(command.c_str()) != 0) state.SkipWithError("curl failed");
  state.SetBytesProcessed(state.iterations() * BODY_BYTES);
}
BENCHMARK(Curl)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace
