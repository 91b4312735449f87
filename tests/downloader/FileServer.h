#pragma once
// A loopback HTTP file server for the download tests and benchmark. It
// listens on 127.0.0.1 (a port the system picks), serves one connection at a
// time on its own thread, and stops in its destructor.
//
// Every path serves "the file": a pattern of Options::size bytes computed
// from the byte's offset (so that 100 MB need no 100 MB in memory) or, when
// Options::body is set, those bytes. Paths registered with addRedirect or
// addStatus answer with that instead. Range requests ("bytes=N-") get 206
// with Content-Range when the If-Range value (if any) matches the ETag or
// Last-Modified date; a mismatch gets the whole file with 200.
//
//   FileServer server;                         // 1 MB pattern, ETag "v1"
//   FileServer::Options o = server.options(); o.dropAfter = 1000; server.setOptions(o);
//   ... download server.url() ...
//   server.requests()[1]  -> the second request's header text
//   FileServer::headerOf(request, "Range") -> "bytes=1000-"
//   FileServer::fileDigest(path) == FileServer::patternDigest(size)

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/evp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/vwt/net/LoopbackListener.h"

class FileServer {
 public:
  struct Options {
    int64_t size = 1 << 20;  // bytes of the pattern file
    int variant = 0;         // another variant is another file of the same size
    bool useBody = false;    // serve `body` instead of the pattern
    std::string body;
    bool contentLength = true;       // send Content-Length
    std::string lengthText;          // when set, sent as the Content-Length value instead
    bool chunked = false;            // Transfer-Encoding: chunked
    bool ranges = true;              // answer Range requests with 206
    int64_t contentRangeShift = 0;   // added to the first byte written in Content-Range
    std::string etag = "\"v1\"";     // "" sends none
    std::string lastModified;        // "" sends none
    std::string contentDisposition;  // "" sends none
    int64_t dropAfter = -1;          // close the connection after this many body bytes...
    int drops = 1;                   // ...in this many responses
    size_t pieceBytes = 64 * 1024;   // body bytes per send
    int pauseMicros = 0;             // pause after each piece
  };

  FileServer() : FileServer(Options()) {}
  explicit FileServer(Options options) : options_(std::move(options)) {
    listener_ = listenOnLoopback(16, &port_);
    thread_ = std::thread([this] { serve(); });
  }
  ~FileServer() {
    stopping_ = true;
    shutdown(listener_, SHUT_RDWR);
    int active = active_.exchange(-1);
    if (active >= 0) shutdown(active, SHUT_RDWR);
    thread_.join();
    close(listener_);
  }
  FileServer(const FileServer&) = delete;
  FileServer& operator=(const FileServer&) = delete;

  int port() const { return port_; }
  std::string base() const { return "http://127.0.0.1:" + std::to_string(port_); }
  std::string url(const std::string& path = "/file.bin") const { return base() + path; }

  Options options() {
    std::lock_guard<std::mutex> g(mutex_);
    return options_;
  }
  // Applies to the requests that arrive afterwards.
  void setOptions(const Options& options) {
    std::lock_guard<std::mutex> g(mutex_);
    options_ = options;
  }
  // path answers `code` with Location: location.
  void addRedirect(const std::string& path, int code, const std::string& location) {
    std::lock_guard<std::mutex> g(mutex_);
    routes_[path] = Route{code, "Moved", location};
  }
  // path answers `code reason` with a short text body.
  void addStatus(const std::string& path, int code, const std::string& reason) {
    std::lock_guard<std::mutex> g(mutex_);
    routes_[path] = Route{code, reason, ""};
  }

  // A port on which nothing listens (bound once, then released).
  static int closedPort() {
    int port = 0;
    int s = listenOnLoopback(1, &port);
    close(s);
    return port;
  }

  // The header text of every request so far, in order.
  std::vector<std::string> requests() {
    std::lock_guard<std::mutex> g(mutex_);
    return requests_;
  }
  // The request line of a request ("GET /file.bin HTTP/1.1").
  static std::string requestLine(const std::string& request) {
    return request.substr(0, request.find("\r\n"));
  }
  // Whether the request has the header (exact name), and its value after "name:" (blanks trimmed).
  static bool hasHeader(const std::string& request, const std::string& name) {
    return request.find("\r\n" + name + ":") != std::string::npos;
  }
  static std::string headerOf(const std::string& request, const std::string& name) {
    size_t at = request.find("\r\n" + name + ":");
    if (at == std::string::npos) return "";
    at += name.size() + 3;
    size_t end = request.find("\r\n", at);
    std::string value = request.substr(at, end - at);
    size_t b = value.find_first_not_of(' '), e = value.find_last_not_of(' ');
    return b == std::string::npos ? "" : value.substr(b, e - b + 1);
  }

  // Byte i of the pattern file of a variant. The period is a prime, so a
  // part written at a wrong offset never matches by accident.
  static unsigned char patternByte(int64_t i, int variant = 0) {
    const std::vector<unsigned char>& t = table();
    return t[static_cast<size_t>((i + static_cast<int64_t>(variant) * 7919) % PERIOD)];
  }
  // Copies n pattern bytes from offset into out.
  static void pattern(int64_t offset, size_t n, int variant, char* out) {
    const std::vector<unsigned char>& t = table();
    size_t at = static_cast<size_t>((offset + static_cast<int64_t>(variant) * 7919) % PERIOD);
    while (n > 0) {
      size_t piece = std::min(n, static_cast<size_t>(PERIOD) - at);
      memcpy(out, t.data() + at, piece);
      out += piece;
      n -= piece;
      at = 0;
    }
  }
  // SHA-256 of the first size pattern bytes, in hex.
  static std::string patternDigest(int64_t size, int variant = 0) {
    Digest d;
    std::vector<char> buf(1 << 16);
    for (int64_t at = 0; at < size;) {
      size_t n = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(buf.size()), size - at));
      pattern(at, n, variant, buf.data());
      d.update(buf.data(), n);
      at += static_cast<int64_t>(n);
    }
    return d.hex();
  }
  static std::string bytesDigest(const std::string& bytes) {
    Digest d;
    d.update(bytes.data(), bytes.size());
    return d.hex();
  }
  // SHA-256 of a file in hex; "" when it cannot be read.
  static std::string fileDigest(const std::string& path) {
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return "";
    Digest d;
    std::vector<char> buf(1 << 16);
    size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), f)) > 0) d.update(buf.data(), n);
    fclose(f);
    return d.hex();
  }

 private:
  static const int64_t PERIOD = 1000003;

  struct Route {
    int code;
    std::string reason;
    std::string location;
  };

  class Digest {
   public:
    Digest() : ctx_(EVP_MD_CTX_new()) { EVP_DigestInit_ex(ctx_, EVP_sha256(), nullptr); }
    ~Digest() { EVP_MD_CTX_free(ctx_); }
    void update(const void* p, size_t n) { EVP_DigestUpdate(ctx_, p, n); }
    std::string hex() {
      unsigned char md[EVP_MAX_MD_SIZE];
      unsigned int n = 0;
      EVP_DigestFinal_ex(ctx_, md, &n);
      std::string out;
      char two[3];
      for (unsigned int i = 0; i < n; ++i) {
        snprintf(two, sizeof two, "%02x", md[i]);
        out += two;
      }
      return out;
    }

   private:
    EVP_MD_CTX* ctx_;
  };

  static const std::vector<unsigned char>& table() {
    static const std::vector<unsigned char> t = [] {
      std::vector<unsigned char> v(static_cast<size_t>(PERIOD));
      uint64_t x = 0x9E3779B97F4A7C15ull;
      for (unsigned char& b : v) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        b = static_cast<unsigned char>(x >> 56);
      }
      return v;
    }();
    return t;
  }

  void serve() {
    while (!stopping_) {
      int c = accept(listener_, nullptr, nullptr);
      if (c < 0) return;
      active_ = c;
      if (stopping_) shutdown(c, SHUT_RDWR);
      std::string request = readRequest(c);
      if (!request.empty()) answer(c, request);
      // Taken back before closing, so that the destructor never shuts a reused descriptor.
      active_.exchange(-1);
      shutdown(c, SHUT_WR);
      close(c);
    }
  }

  static std::string readRequest(int c) {
    std::string data;
    char buf[4096];
    while (data.find("\r\n\r\n") == std::string::npos) {
      ssize_t n = recv(c, buf, sizeof buf, 0);
      if (n <= 0) return "";
      data.append(buf, static_cast<size_t>(n));
    }
    return data.substr(0, data.find("\r\n\r\n") + 4);
  }

  bool sendAll(int c, const char* p, size_t n) {
    while (n > 0) {
      ssize_t sent = send(c, p, n, MSG_NOSIGNAL);
      if (sent <= 0 || stopping_) return false;
      p += sent;
      n -= static_cast<size_t>(sent);
    }
    return true;
  }

  void answer(int c, const std::string& request) {
    Options o;
    Route route{0, "", ""};
    bool drop = false;
    std::string line = requestLine(request);
    size_t s1 = line.find(' '), s2 = line.find(' ', s1 + 1);
    std::string path = line.substr(s1 + 1, s2 - s1 - 1);
    {
      std::lock_guard<std::mutex> g(mutex_);
      requests_.push_back(request);
      o = options_;
      auto it = routes_.find(path);
      if (it != routes_.end()) route = it->second;
      if (o.dropAfter >= 0 && options_.drops > 0) {
        --options_.drops;
        drop = true;
      }
    }
    if (route.code) {
      std::string text = "HTTP/1.1 " + std::to_string(route.code) + " " + route.reason + "\r\n";
      if (!route.location.empty()) text += "Location: " + route.location + "\r\n";
      text += "Content-Length: 2\r\nConnection: close\r\n\r\nno";
      sendAll(c, text.data(), text.size());
      return;
    }

    int64_t size = o.useBody ? static_cast<int64_t>(o.body.size()) : o.size;
    int64_t from = 0;
    std::string range = headerOf(request, "Range");
    std::string ifRange = headerOf(request, "If-Range");
    bool partial = false;
    if (o.ranges && range.compare(0, 6, "bytes=") == 0 &&
        (ifRange.empty() || ifRange == o.etag || ifRange == o.lastModified)) {
      from = std::stoll(range.substr(6));
      if (from >= size) {
        std::string text = "HTTP/1.1 416 Range Not Satisfiable\r\nContent-Length: 0\r\n\r\n";
        sendAll(c, text.data(), text.size());
        return;
      }
      partial = true;
    }

    std::string head = partial ? "HTTP/1.1 206 Partial Content\r\n" : "HTTP/1.1 200 OK\r\n";
    if (partial)
      head += "Content-Range: bytes " + std::to_string(from + o.contentRangeShift) + "-" +
              std::to_string(size - 1) + "/" + std::to_string(size) + "\r\n";
    if (o.contentLength && !o.chunked)
      head +=
          "Content-Length: " + (o.lengthText.empty() ? std::to_string(size - from) : o.lengthText) + "\r\n";
    if (o.chunked) head += "Transfer-Encoding: chunked\r\n";
    if (!o.etag.empty()) head += "ETag: " + o.etag + "\r\n";
    if (!o.lastModified.empty()) head += "Last-Modified: " + o.lastModified + "\r\n";
    if (!o.contentDisposition.empty()) head += "Content-Disposition: " + o.contentDisposition + "\r\n";
    head += "Connection: close\r\n\r\n";
    if (!sendAll(c, head.data(), head.size())) return;

    std::vector<char> piece(std::max<size_t>(o.pieceBytes, 1));
    int64_t sent = 0;
    for (int64_t at = from; at < size;) {
      size_t n = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(piece.size()), size - at));
      // A chunk announces its full size even when the connection drops inside it.
      size_t announced = n;
      if (drop && sent + static_cast<int64_t>(n) > o.dropAfter) n = static_cast<size_t>(o.dropAfter - sent);
      if (o.useBody)
        memcpy(piece.data(), o.body.data() + at, n);
      else
        pattern(at, n, o.variant, piece.data());
      if (o.chunked) {
        char sizeLine[32];
        snprintf(sizeLine, sizeof sizeLine, "%zx\r\n", announced);
        if (announced > 0 && !sendAll(c, sizeLine, strlen(sizeLine))) return;
      }
      if (!sendAll(c, piece.data(), n)) return;
      if (o.chunked && n > 0 && !sendAll(c, "\r\n", 2)) return;
      at += static_cast<int64_t>(n);
      sent += static_cast<int64_t>(n);
      if (drop && sent >= o.dropAfter) return;
      if (o.pauseMicros > 0) std::this_thread::sleep_for(std::chrono::microseconds(o.pauseMicros));
    }
    if (o.chunked) sendAll(c, "0\r\n\r\n", 5);
  }

  Options options_;
  std::map<std::string, Route> routes_;
  int listener_;
  int port_;
  std::atomic<bool> stopping_{false};
  std::atomic<int> active_{-1};
  std::thread thread_;
  std::mutex mutex_;
  std::vector<std::string> requests_;
};
