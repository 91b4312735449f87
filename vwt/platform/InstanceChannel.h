#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "vwt/lang/String.h"

namespace vwt {
namespace platform {

// Single instance and short messages between processes of the same user, by window class: the
// first process of a class claims it and listens on a per-user socket under $XDG_RUNTIME_DIR; a
// second process finds it there, asks it to come to the front and hands it copy-data messages,
// each answered synchronously.
//
// The owner keeps an exclusive lock on a file beside the socket for as long as it lives. The
// kernel drops that lock when the process ends however it ends, so a socket left behind by a
// crashed process is recognised as stale and replaced, while a live but hung owner still holds
// its class (and a sender gives up on it after its time-out).
//
// A thread of the channel accepts connections and reads the requests; the handlers run on the
// thread that calls serve() (the UI thread), which the wake callback prompts.
class InstanceChannel {
 public:
  // Returns the reply: 0 or 1 as the window's short-message handler decides.
  using MessageHandler = std::function<int(int kind, const std::vector<char>& data)>;

  // The largest message accepted, in bytes; larger ones are refused on both sides.
  static const int MAX_MESSAGE_BYTES = 1 << 20;

  ~InstanceChannel();
  InstanceChannel(const InstanceChannel&) = delete;
  InstanceChannel& operator=(const InstanceChannel&) = delete;

  // Claims windowClass for this process. Null when a live process holds it already (*error = 0)
  // or when the channel cannot be set up (*error = the errno value).
  static std::unique_ptr<InstanceChannel> claim(const String& windowClass, MessageHandler onMessage,
                                                int* error = nullptr);

  // Delivers a message to the process holding windowClass and waits for its reply, at most
  // timeoutMs in all. -1 when no process holds the class, it does not answer in time, or length
  // is negative or above MAX_MESSAGE_BYTES.
  static int send(const String& windowClass, int kind, const char* data, int length, int timeoutMs);
  // Asks the process holding windowClass to come to the front; true once it has.
  static bool raise(const String& windowClass, int timeoutMs);

  // Called on the UI thread when another process asks this one to come to the front.
  void setRaiseHandler(std::function<void()> onRaise);
  // Called on the channel's thread whenever a request is waiting for serve(); at once if one is.
  void setWakeCallback(std::function<void()> wake);
  // Runs the handlers of the waiting requests and answers them; returns how many.
  int serve();
  // Waits up to timeoutMs (-1: no limit) for a request to serve; true when one is waiting.
  bool waitForRequest(int timeoutMs);

  // The socket's path for windowClass: a class name may hold any character, the file name only
  // letters, digits, '.', '_' and '-' (others are written as %XXXX). Empty when no per-user
  // folder can be made.
  static std::string socketPath(const String& windowClass);

 private:
  struct Request;
  InstanceChannel() = default;
  void runAcceptor();
  void queue(std::unique_ptr<Request> request);

  std::string path_;
  int lockFd_ = -1;
  int listenFd_ = -1;
  int stopPipe_[2] = {-1, -1};
  std::thread acceptor_;
  MessageHandler onMessage_;

  std::mutex mutex_;  // guards what follows
  std::function<void()> onRaise_;
  std::function<void()> wake_;
  std::deque<std::unique_ptr<Request>> waiting_;
  std::condition_variable arrived_;
};

}  // namespace platform
}  // namespace vwt
