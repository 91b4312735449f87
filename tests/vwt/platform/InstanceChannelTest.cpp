#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/vwt/ScratchDirectory.h"
#include "vwt/platform/InstanceChannel.h"

extern char** environ;

using vwt::platform::InstanceChannel;

namespace {

using Clock = std::chrono::steady_clock;

// The other process of these tests is this test program started again with VWT_INSTANCE_HELPER
// set; it does its part before any test runs and exits.
//   serve: claims VWT_INSTANCE_CLASS, prints "ready", answers 0 to messages that start with 't'
//          and 1 to others, prints "raised" when asked to the front, ends on the message "quit"
//          (answered 0).
//   hang:  claims the class, prints "ready" and never serves (for at most 30 seconds).
void say(const char* line) {
  ssize_t ignored = write(1, line, strlen(line));
  (void)ignored;
}

int runHelper(const std::string& mode, const String& windowClass) {
  std::mutex mutex;
  std::condition_variable woken;
  bool pending = false;
  bool done = false;
  int error = 0;
  auto channel = InstanceChannel::claim(
      windowClass,
      [&](int, const std::vector<char>& data) {
        std::string text(data.begin(), data.end());
        if (text == "quit") done = true;
        return done || (!text.empty() && text[0] == 't') ? 0 : 1;
      },
      &error);
  if (!channel) return 3;
  channel->setRaiseHandler([] { say("raised\n"); });
  channel->setWakeCallback([&] {
    std::lock_guard<std::mutex> held(mutex);
    pending = true;
    woken.notify_all();
  });
  say("ready\n");
  Clock::time_point end = Clock::now() + std::chrono::seconds(30);
  if (mode == "hang") {
    while (Clock::now() < end) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return 0;
  }
  while (!done && Clock::now() < end) {
    {
      std::unique_lock<std::mutex> held(mutex);
      woken.wait_for(held, std::chrono::milliseconds(100), [&] { return pending; });
      pending = false;
    }
    channel->serve();
  }
  return done ? 0 : 4;
}

String toString16(const std::string& ascii) {
  char16_t* units = new char16_t[ascii.size() + 1];
  for (size_t i = 0; i <= ascii.size(); ++i) units[i] = static_cast<unsigned char>(ascii.c_str()[i]);
  return String(units, true);
}

const int helperRan = [] {
  const char* mode = getenv("VWT_INSTANCE_HELPER");
  if (mode == nullptr) return 0;
  const char* windowClass = getenv("VWT_INSTANCE_CLASS");
  _exit(runHelper(mode, toString16(windowClass != nullptr ? windowClass : "")));
}();

// A helper process with its standard output on a pipe.
class Helper {
 public:
  Helper(const std::string& mode, const std::string& windowClass) {
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) return;
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) env.push_back(*e);
    env.push_back("VWT_INSTANCE_HELPER=" + mode);
    env.push_back("VWT_INSTANCE_CLASS=" + windowClass);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(&e[0]);
    envp.push_back(nullptr);
    char program[] = "/proc/self/exe";
    char* argv[] = {program, nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    if (posix_spawn(&pid_, program, &actions, nullptr, argv, envp.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    out_ = out[0];
  }
  ~Helper() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) close(out_);
  }

  // The next line the helper prints, or "" when none comes within 10 seconds (a hang guard).
  std::string readLine() {
    std::string line;
    Clock::time_point end = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < end) {
      pollfd p = {out_, POLLIN, 0};
      if (poll(&p, 1, 100) != 1) continue;
      char c;
      if (read(out_, &c, 1) != 1) break;
      if (c == '\n') return line;
      line += c;
    }
    return std::string();
  }
  // Its exit status; -1 when it has not ended within 10 seconds.
  int wait() {
    for (int i = 0; i < 200 && pid_ > 0; ++i) {
      int status;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return -1;
  }
  void crash() {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  bool started() const { return pid_ > 0; }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
};

// Runs `client` on another thread while this one serves the channel, as a UI thread would.
template <typename T>
T whileServing(InstanceChannel& channel, std::function<T()> client) {
  std::atomic<bool> finished(false);
  T result{};
  std::thread other([&] {
    result = client();
    finished = true;
  });
  Clock::time_point end = Clock::now() + std::chrono::seconds(20);
  while (!finished && Clock::now() < end) {
    if (channel.waitForRequest(20)) channel.serve();
  }
  other.join();
  return result;
}

class InstanceChannelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = getenv("XDG_RUNTIME_DIR");
    hadRuntime_ = old != nullptr;
    if (hadRuntime_) oldRuntime_ = old;
    setenv("XDG_RUNTIME_DIR", dir_.path().c_str(), 1);
  }
  void TearDown() override {
    if (hadRuntime_) {
      setenv("XDG_RUNTIME_DIR", oldRuntime_.c_str(), 1);
    } else {
      unsetenv("XDG_RUNTIME_DIR");
    }
  }

  // Connects to the class's socket without the channel's own sender.
  int rawConnect(const String& windowClass) {
    sockaddr_un address;
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    std::string path = InstanceChannel::socketPath(windowClass);
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
      close(fd);
      return -1;
    }
    return fd;
  }

  ScratchDirectory dir_;
  bool hadRuntime_ = false;
  std::string oldRuntime_;
};

std::vector<char> header(uint32_t magic, uint32_t type, int32_t kind, uint32_t length) {
  std::vector<char> bytes(16);
  std::memcpy(&bytes[0], &magic, 4);
  std::memcpy(&bytes[4], &type, 4);
  std::memcpy(&bytes[8], &kind, 4);
  std::memcpy(&bytes[12], &length, 4);
  return bytes;
}

const uint32_t MAGIC = 0x49545756;

TEST_F(InstanceChannelTest, SocketNamesKeepOnlySafeCharacters) {
  struct Case {
    String windowClass;
    const char* name;
  } cases[] = {
      {u"VESKBROWSER"_s, "vwt-VESKBROWSER.sock"},
      {u"a.b_c-9"_s, "vwt-a.b_c-9.sock"},
      {u"../x"_s, "vwt-..%002Fx.sock"},
      {u"\u30D6 "_s, "vwt-%30D6%0020.sock"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(InstanceChannel::socketPath(c.windowClass), dir_.path() + "/" + c.name) << c.name;
  }
}

TEST_F(InstanceChannelTest, ShortMessagesBetweenTwoProcesses) {
  Helper first("serve", "DOWNLOADER");
  ASSERT_TRUE(first.started());
  ASSERT_EQ(first.readLine(), "ready");

  // The second process finds the first: the class is held, and the first comes to the front.
  int error = -1;
  EXPECT_EQ(InstanceChannel::claim(u"DOWNLOADER"_s, nullptr, &error), nullptr);
  EXPECT_EQ(error, 0);
  EXPECT_TRUE(InstanceChannel::raise(u"DOWNLOADER"_s, 10000));
  EXPECT_EQ(first.readLine(), "raised");

  struct Case {
    std::string data;
    int reply;
  } cases[] = {
      {"t\"http://example.com/a b\"\t\"ref\"", 0},
      {std::string("t\0\xff\x01", 4), 0},
      {"rejected", 1},
      {"", 1},
      {std::string(100000, 't'), 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(
        InstanceChannel::send(u"DOWNLOADER"_s, 0, c.data.data(), static_cast<int>(c.data.size()), 10000),
        c.reply)
        << c.data.size() << " bytes";
  }
  EXPECT_EQ(InstanceChannel::send(u"DOWNLOADER"_s, 0, "quit", 4, 10000), 0);
  EXPECT_EQ(first.wait(), 0);

  // Gone: nobody answers, and the class is free again.
  struct stat st;
  EXPECT_NE(stat(InstanceChannel::socketPath(u"DOWNLOADER"_s).c_str(), &st), 0);
  EXPECT_EQ(InstanceChannel::send(u"DOWNLOADER"_s, 0, "t", 1, 10000), -1);
  EXPECT_FALSE(InstanceChannel::raise(u"DOWNLOADER"_s, 10000));
  EXPECT_NE(InstanceChannel::claim(u"DOWNLOADER"_s, nullptr), nullptr);
}

TEST_F(InstanceChannelTest, StaleSocketOfACrashedProcessIsReplaced) {
  Helper crashed("hang", "VESKBROWSER");
  ASSERT_EQ(crashed.readLine(), "ready");
  crashed.crash();
  struct stat st;
  std::string path = InstanceChannel::socketPath(u"VESKBROWSER"_s);
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  ASSERT_TRUE(S_ISSOCK(st.st_mode));
  EXPECT_EQ(InstanceChannel::send(u"VESKBROWSER"_s, 0, "t", 1, 10000), -1);

  std::vector<char> got;
  auto channel = InstanceChannel::claim(u"VESKBROWSER"_s, [&](int, const std::vector<char>& data) {
    got = data;
    return 0;
  });
  ASSERT_NE(channel, nullptr);
  int reply =
      whileServing<int>(*channel, [] { return InstanceChannel::send(u"VESKBROWSER"_s, 0, "tx", 2, 10000); });
  EXPECT_EQ(reply, 0);
  EXPECT_EQ(std::string(got.begin(), got.end()), "tx");
}

TEST_F(InstanceChannelTest, LeftoverSocketWithoutLockIsReplaced) {
  // A socket file nobody listens on and no lock file at all, as a copy of the folder would leave.
  std::string path = InstanceChannel::socketPath(u"LEFTOVER"_s);
  int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address;
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  close(fd);

  auto channel = InstanceChannel::claim(u"LEFTOVER"_s, [](int, const std::vector<char>&) { return 1; });
  ASSERT_NE(channel, nullptr);
  EXPECT_EQ(
      whileServing<int>(*channel, [] { return InstanceChannel::send(u"LEFTOVER"_s, 0, "x", 1, 10000); }), 1);
}

TEST_F(InstanceChannelTest, HungInstanceDoesNotHangTheSecond) {
  Helper hung("hang", "HUNG");
  ASSERT_EQ(hung.readLine(), "ready");
  int error = -1;
  EXPECT_EQ(InstanceChannel::claim(u"HUNG"_s, nullptr, &error), nullptr);
  EXPECT_EQ(error, 0);
  EXPECT_FALSE(InstanceChannel::raise(u"HUNG"_s, 200));
  EXPECT_EQ(InstanceChannel::send(u"HUNG"_s, 0, "t", 1, 200), -1);
  // A message too big for the socket's buffer times out in the write instead of the reply.
  std::vector<char> big(InstanceChannel::MAX_MESSAGE_BYTES, 't');
  EXPECT_EQ(InstanceChannel::send(u"HUNG"_s, 0, big.data(), static_cast<int>(big.size()), 200), -1);
}

TEST_F(InstanceChannelTest, NoInstanceAndBadArguments) {
  EXPECT_EQ(InstanceChannel::send(u"NOBODY"_s, 0, "t", 1, 1000), -1);
  EXPECT_FALSE(InstanceChannel::raise(u"NOBODY"_s, 1000));

  int calls = 0;
  auto channel = InstanceChannel::claim(u"ARGS"_s, [&](int, const std::vector<char>&) {
    ++calls;
    return 0;
  });
  ASSERT_NE(channel, nullptr);
  std::vector<char> over(InstanceChannel::MAX_MESSAGE_BYTES + 1, 't');
  EXPECT_EQ(InstanceChannel::send(u"ARGS"_s, 0, over.data(), static_cast<int>(over.size()), 1000), -1);
  EXPECT_EQ(InstanceChannel::send(u"ARGS"_s, 0, "t", -1, 1000), -1);
  EXPECT_EQ(InstanceChannel::send(u"ARGS"_s, 0, nullptr, 3, 1000), -1);
  EXPECT_EQ(channel->serve(), 0);
  EXPECT_EQ(calls, 0);
}

TEST_F(InstanceChannelTest, LargestMessageArrivesWhole) {
  std::vector<char> sent(InstanceChannel::MAX_MESSAGE_BYTES);
  for (size_t i = 0; i < sent.size(); ++i) sent[i] = static_cast<char>(i * 7 + (i >> 8));
  std::vector<char> got;
  int gotKind = 0;
  auto channel = InstanceChannel::claim(u"BIG"_s, [&](int kind, const std::vector<char>& data) {
    got = data;
    gotKind = kind;
    return 0;
  });
  ASSERT_NE(channel, nullptr);
  int reply = whileServing<int>(*channel, [&] {
    return InstanceChannel::send(u"BIG"_s, -7, sent.data(), static_cast<int>(sent.size()), 10000);
  });
  EXPECT_EQ(reply, 0);
  EXPECT_EQ(gotKind, -7);
  EXPECT_TRUE(got == sent);
}

TEST_F(InstanceChannelTest, MalformedRequestsNeverReachTheHandler) {
  std::mt19937 random(14);
  auto noise = [&](size_t n) {
    std::vector<char> bytes(n);
    for (char& b : bytes) b = static_cast<char>(random());
    return bytes;
  };
  auto join = [](std::vector<char> a, const std::vector<char>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  const uint32_t max = InstanceChannel::MAX_MESSAGE_BYTES;
  struct Case {
    const char* what;
    std::vector<char> bytes;
    int reply;  // -1: the connection is closed without one
  } cases[] = {
      {"nothing", {}, -1},
      {"part of a header", noise(7), -1},
      {"noise", noise(16), -1},
      {"more noise", noise(4096), -1},
      {"wrong magic", header(0, 1, 0, 0), -1},
      {"unknown request", header(MAGIC, 9, 0, 0), -1},
      {"front request with a body", join(header(MAGIC, 2, 0, 4), noise(4)), -1},
      {"length above the bound", header(MAGIC, 1, 0, max + 1), -1},
      {"length of all ones", header(MAGIC, 1, 0, 0xFFFFFFFFu), -1},
      {"body shorter than announced", join(header(MAGIC, 1, 0, 100), noise(10)), -1},
      {"empty message", header(MAGIC, 1, 3, 0), 1},
      {"message with extra bytes after it", join(join(header(MAGIC, 1, -5, 1), {'t'}), noise(50)), 0},
  };
  std::vector<int> kinds;
  auto channel = InstanceChannel::claim(u"ROBUST"_s, [&](int kind, const std::vector<char>& data) {
    kinds.push_back(kind);
    return !data.empty() && data[0] == 't' ? 0 : 1;
  });
  ASSERT_NE(channel, nullptr);

  // A sender that connects and says nothing does not hold up the others.
  int silent = rawConnect(u"ROBUST"_s);
  ASSERT_GE(silent, 0);

  for (const Case& c : cases) {
    int reply = whileServing<int>(*channel, [&]() -> int {
      int fd = rawConnect(u"ROBUST"_s);
      if (fd < 0) return -2;
      if (!c.bytes.empty() &&
          send(fd, c.bytes.data(), c.bytes.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(c.bytes.size())) {
        close(fd);
        return -3;
      }
      shutdown(fd, SHUT_WR);
      int32_t answer = -1;
      pollfd p = {fd, POLLIN, 0};
      if (poll(&p, 1, 10000) != 1 || read(fd, &answer, sizeof answer) != sizeof answer) answer = -1;
      close(fd);
      return answer;
    });
    EXPECT_EQ(reply, c.reply) << c.what;
  }
  EXPECT_EQ(kinds, (std::vector<int>{3, -5}));
  close(silent);

  // Still answering as before.
  EXPECT_EQ(whileServing<int>(*channel, [] { return InstanceChannel::send(u"ROBUST"_s, 0, "t", 1, 10000); }),
            0);
}

TEST_F(InstanceChannelTest, FloodOfSendersIsBounded) {
  std::atomic<int> calls(0);
  auto channel = InstanceChannel::claim(u"FLOOD"_s, [&](int, const std::vector<char>&) {
    ++calls;
    return 0;
  });
  ASSERT_NE(channel, nullptr);
  // Requests pile up while the UI thread is busy; then it serves them all at once.
  std::vector<int> clients;
  std::vector<char> request = header(MAGIC, 1, 0, 1);
  request.push_back('t');
  for (int i = 0; i < 60; ++i) {
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    sockaddr_un address;
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    std::string path = InstanceChannel::socketPath(u"FLOOD"_s);
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        // The channel may already have shut an excess connection: no SIGPIPE for that.
        send(fd, request.data(), request.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(request.size())) {
      close(fd);
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      continue;
    }
    clients.push_back(fd);
  }
  ASSERT_FALSE(clients.empty());
  // Let the channel's thread read what it will take; then serve.
  for (int i = 0; i < 100 && channel->waitForRequest(50); ++i) {
    channel->serve();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  int replies = 0;
  for (int fd : clients) {
    pollfd p = {fd, POLLIN, 0};
    int32_t answer = -1;
    if (poll(&p, 1, 10000) == 1 && read(fd, &answer, sizeof answer) == sizeof answer) {
      EXPECT_EQ(answer, 0);
      ++replies;
    }
    close(fd);
  }
  EXPECT_GT(replies, 0);
  EXPECT_EQ(replies, calls.load());
  EXPECT_EQ(whileServing<int>(*channel, [] { return InstanceChannel::send(u"FLOOD"_s, 0, "t", 1, 10000); }),
            0);
}

TEST_F(InstanceChannelTest, WakeCallbackAndRaiseHandlerRunWhereExpected) {
  auto channel = InstanceChannel::claim(u"WAKE"_s, [](int, const std::vector<char>&) { return 0; });
  ASSERT_NE(channel, nullptr);
  std::atomic<int> wakes(0);
  channel->setWakeCallback([&] { ++wakes; });
  std::thread::id uiThread = std::this_thread::get_id();
  bool raisedOnUiThread = false;
  channel->setRaiseHandler([&] { raisedOnUiThread = std::this_thread::get_id() == uiThread; });
  EXPECT_TRUE(whileServing<bool>(*channel, [] { return InstanceChannel::raise(u"WAKE"_s, 10000); }));
  EXPECT_TRUE(raisedOnUiThread);
  EXPECT_GE(wakes.load(), 1);
}

}  // namespace
