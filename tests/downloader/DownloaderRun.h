#pragma once
// The download program run as a child process, headless, from a program directory of its own (the
// built program, res/ and a system.ini the test writes), with its own runtime and data folders and
// a scripted input; and a small HTTP server on 127.0.0.1 that serves canned answers by path,
// records the requests and can hold an answer's body until the test lets it go.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/net/LoopbackListener.h"

extern char** environ;

namespace downloadertest {

inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string sourceDir() {
  const char* dir = getenv("VWT_TEST_SOURCE_DIR");
  return dir ? dir : VWT_SOURCE_DIR;
}

// A full HTTP response with a Content-Length and the extra header lines given (each ending in CRLF).
inline std::string response(const std::string& body, const std::string& headers = std::string(),
                            const std::string& status = "200 OK") {
  return "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n" + headers +
         "Connection: close\r\n\r\n" + body;
}

// Bytes that differ from position to position, so that a misplaced piece shows.
inline std::string pattern(size_t n) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return s;
}

class Server {
 public:
  struct Route {
    std::string answer;    // the whole response
    size_t heldAfter = 0;  // with hold: bytes sent before the answer waits for release()
    bool hold = false;
    size_t pieceBytes = 0;  // sends of this size with a pause after each (0: one send)
    int pauseMs = 0;
  };

  Server() {
    listener_ = listenOnLoopback(16, &port_);
    thread_ = std::thread([this] { accepting(); });
  }
  ~Server() {
    release();
    stopping_ = true;
    shutdown(listener_, SHUT_RDWR);
    thread_.join();
    for (std::thread& t : connections_) t.join();
    close(listener_);
  }
  void route(const std::string& path, Route r) {
    std::lock_guard<std::mutex> g(lock_);
    routes_[path] = std::move(r);
  }
  void route(const std::string& path, const std::string& answer) {
    Route r;
    r.answer = answer;
    route(path, r);
  }
  std::string url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  // The request headers received so far, in order.
  std::vector<std::string> requests() {
    std::lock_guard<std::mutex> g(lock_);
    return requests_;
  }
  // Waits (at most a minute) until n requests have come.
  bool waitForRequests(size_t n) {
    std::unique_lock<std::mutex> g(lock_);
    return changed_.wait_for(g, std::chrono::seconds(60), [&] { return requests_.size() >= n; });
  }
  // Waits until a held answer has sent its first part.
  bool waitUntilHolding() {
    std::unique_lock<std::mutex> g(lock_);
    return changed_.wait_for(g, std::chrono::seconds(60), [&] { return holding_ > 0; });
  }
  void release() {
    std::lock_guard<std::mutex> g(lock_);
    released_ = true;
    changed_.notify_all();
  }

 private:
  void accepting() {
    while (!stopping_) {
      int c = accept(listener_, nullptr, nullptr);
      if (c < 0) return;
      connections_.emplace_back([this, c] { answer(c); });
    }
  }
  void answer(int c) {
    std::string data;
    char buf[4096];
    while (data.find("\r\n\r\n") == std::string::npos) {
      ssize_t n = recv(c, buf, sizeof buf, 0);
      if (n <= 0) break;
      data.append(buf, static_cast<size_t>(n));
    }
    std::string path = data.substr(data.find(' ') + 1);
    path = path.substr(0, path.find(' '));
    Route r;
    {
      std::lock_guard<std::mutex> g(lock_);
      requests_.push_back(data);
      auto it = routes_.find(path);
      r = it != routes_.end() ? it->second : Route{response("none", "", "404 Not Found")};
      changed_.notify_all();
    }
    size_t sent = 0;
    bool waited = false;
    while (sent < r.answer.size()) {
      if (r.hold && !waited && sent >= r.heldAfter) {
        std::unique_lock<std::mutex> g(lock_);
        ++holding_;
        changed_.notify_all();
        changed_.wait(g, [this] { return released_; });
        waited = true;
      }
      size_t piece = r.answer.size() - sent;
      if (r.hold && !waited) piece = std::min(piece, r.heldAfter - sent);
      if (r.pieceBytes > 0) piece = std::min(piece, r.pieceBytes);
      ssize_t n = send(c, r.answer.data() + sent, piece, MSG_NOSIGNAL);
      if (n <= 0) break;
      sent += static_cast<size_t>(n);
      if (r.pauseMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(r.pauseMs));
    }
    shutdown(c, SHUT_WR);
    while (recv(c, buf, sizeof buf, 0) > 0) {
    }
    close(c);
  }

  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
  std::vector<std::thread> connections_;  // touched by the accepting thread only until it ends
  std::mutex lock_;
  std::condition_variable changed_;
  std::map<std::string, Route> routes_;
  std::vector<std::string> requests_;
  int holding_ = 0;
  bool released_ = false;
};

// A program directory and the folders of one run of the program.
class ProgramFolder {
 public:
  ProgramFolder() {
    std::filesystem::create_directories(program());
    std::filesystem::copy_file(DOWNLOADER_PROGRAM, program() + "downloader");
    std::filesystem::copy(sourceDir() + "/res", program() + "res", std::filesystem::copy_options::recursive);
    for (const char* d : {"runtime", "data", "home", "bin"}) std::filesystem::create_directories(dir / d);
    chmod((dir / "runtime").c_str(), 0700);
    setSystemIni("");
  }
  // system.ini with these lines besides the service host.
  void setSystemIni(const std::string& lines) {
    std::ofstream(program() + "system.ini") << "service.host=127.0.0.1\n" << lines;
  }
  std::string program() const { return dir / "program/"; }
  std::string home() const { return dir / "home"; }
  // The folder of the temporary files.
  std::string dataFolder() const { return dir / "data/vesk/veskDownloader"; }
  // Files in the data folder.
  std::vector<std::string> dataFiles() const {
    std::vector<std::string> out;
    std::error_code e;
    for (auto& f : std::filesystem::directory_iterator(dataFolder(), e)) out.push_back(f.path().filename());
    return out;
  }
  // An executable script in the run's own bin/, which comes first on its PATH.
  void writeTool(const std::string& name, const std::string& body) {
    std::string path = dir / ("bin/" + name);
    std::ofstream(path) << "#!/bin/sh\n" << body;
    chmod(path.c_str(), 0755);
  }
  // The environment of the runs and of the test process's own short messages.
  std::vector<std::string> environment(const std::string& script) const {
    std::vector<std::string> env = {
        "VWT_DISPLAY=headless",
        "VWT_SCREEN_SIZE=240x320",
        "VWT_INPUT_SCRIPT=" + script,
        "XDG_RUNTIME_DIR=" + dir / "runtime",
        "XDG_DATA_HOME=" + dir / "data",
        "XDG_CONFIG_HOME=" + dir / "config",
        "HOME=" + home(),
        "PATH=" + dir / "bin" + ":/usr/bin:/bin",
        "LANG=C.UTF-8",
    };
    env.insert(env.end(), extraEnvironment.begin(), extraEnvironment.end());
    return env;
  }
  // Starts the program with args and the script lines; the pid.
  pid_t start(const std::vector<std::string>& args, const std::string& scriptLines) {
    std::string script = dir / ("script" + std::to_string(++runs_) + ".txt");
    std::ofstream(script) << scriptLines;
    std::vector<std::string> argv = {program() + "downloader"};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<std::string> env = environment(script);
    std::vector<char*> a, e;
    for (std::string& s : argv) a.push_back(&s[0]);
    a.push_back(nullptr);
    for (std::string& s : env) e.push_back(&s[0]);
    e.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, a[0], nullptr, nullptr, a.data(), e.data()) != 0) return -1;
    return pid;
  }
  // The exit status of a started run; a run that has not ended after two minutes is killed (-1).
  static int wait(pid_t pid) {
    for (int i = 0; i < 1200; ++i) {
      int status = 0;
      pid_t r = waitpid(pid, &status, WNOHANG);
      if (r == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
  }
  int run(const std::vector<std::string>& args, const std::string& scriptLines) {
    pid_t pid = start(args, scriptLines);
    return pid < 0 ? -2 : wait(pid);
  }

  ScratchDirectory dir;
  // NAME=VALUE lines added to the runs' environment.
  std::vector<std::string> extraEnvironment;

 private:
  int runs_ = 0;
};

// The value of a request header, or "<none>" when the request has no such line.
inline std::string header(const std::string& request, const std::string& name) {
  std::string key = "\r\n" + name + ":";
  size_t at = request.find(key);
  if (at == std::string::npos) return "<none>";
  size_t from = at + key.size();
  while (from < request.size() && request[from] == ' ') ++from;
  return request.substr(from, request.find("\r\n", from) - from);
}

}  // namespace downloadertest
