#pragma once
// A one-thread HTTP server on 127.0.0.1 for the client tests: it accepts
// connections one after another, records each request (header and, with a
// Content-Length, the body), answers with a fixed text and closes. The text
// goes in one send, or in sends of pieceBytes with a pause after each, so
// that the client receives it in many small parts.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/vwt/net/LoopbackListener.h"

class TestHttpServer {
 public:
  struct Request {
    std::string header;  // up to and including the blank line
    std::string body;
  };

  explicit TestHttpServer(std::string response, size_t pieceBytes = 0)
      : response_(std::move(response)), pieceBytes_(pieceBytes) {
    listener_ = listenOnLoopback(8, &port_);
    thread_ = std::thread([this] { serve(); });
  }
  ~TestHttpServer() {
    stopping_ = true;
    shutdown(listener_, SHUT_RDWR);
    thread_.join();
    close(listener_);
  }

  int port() const { return port_; }
  std::string base() const { return "http://127.0.0.1:" + std::to_string(port_); }
  std::vector<Request> requests() {
    std::lock_guard<std::mutex> g(mutex_);
    return requests_;
  }

  // A port on which nothing listens (bound once, then released).
  static int closedPort() {
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a;
    memset(&a, 0, sizeof a);
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    close(s);
    return ntohs(a.sin_port);
  }

 private:
  void serve() {
    while (!stopping_) {
      int c = accept(listener_, nullptr, nullptr);
      if (c < 0) return;
      Request r = readRequest(c);
      {
        std::lock_guard<std::mutex> g(mutex_);
        requests_.push_back(r);
      }
      int one = 1;
      if (pieceBytes_ > 0) setsockopt(c, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
      size_t sent = 0;
      while (sent < response_.size()) {
        size_t piece =
            pieceBytes_ > 0 ? std::min(pieceBytes_, response_.size() - sent) : response_.size() - sent;
        ssize_t n = send(c, response_.data() + sent, piece, MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += static_cast<size_t>(n);
        if (pieceBytes_ > 0) std::this_thread::sleep_for(std::chrono::microseconds(300));
      }
      shutdown(c, SHUT_WR);
      close(c);
    }
  }

  static Request readRequest(int c) {
    Request r;
    std::string data;
    char buf[4096];
    size_t end;
    while ((end = data.find("\r\n\r\n")) == std::string::npos) {
      ssize_t n = recv(c, buf, sizeof buf, 0);
      if (n <= 0) {
        r.header = data;
        return r;
      }
      data.append(buf, static_cast<size_t>(n));
    }
    r.header = data.substr(0, end + 4);
    r.body = data.substr(end + 4);
    size_t at = r.header.find("Content-Length:");
    size_t want = at == std::string::npos ? 0 : std::strtoul(r.header.c_str() + at + 15, nullptr, 10);
    while (r.body.size() < want) {
      ssize_t n = recv(c, buf, sizeof buf, 0);
      if (n <= 0) break;
      r.body.append(buf, static_cast<size_t>(n));
    }
    return r;
  }

  std::string response_;
  size_t pieceBytes_;
  int listener_;
  int port_;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
  std::mutex mutex_;
  std::vector<Request> requests_;
};
