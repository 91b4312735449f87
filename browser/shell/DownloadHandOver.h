#pragma once

#include <functional>
#include <string>

#include "vwt/lang/String.h"

class Window;

// Hands a download to the download program: to its running window, or by starting it.
class DownloadHandOver {
 public:
  static constexpr int MESSAGE_BUSY = 10064;
  static constexpr int MESSAGE_FAILED = 10065;

  // How the hand-over reaches the world; tests replace them.
  struct Channel {
    // Window::sendShortMessage to the window class: 0 taken, 1 refused, -1 no such window.
    std::function<int(const String& windowClass, const char* data, int length)> send;
    // Application::launch with the download-item type.
    std::function<void(const String& commandLine)> launch;
  };

  // The real channel through sender's window and the current application; sender is not owned.
  static Channel through(Window* sender);

  // The command line: "url"<tab>"referrer"<tab>"extra" in double quotes.
  static String commandLine(const String& url, const String& referrer, const String& extra);
  // The bytes sent: the command line in UTF-16 with its terminating zero.
  static std::string message(const String& commandLine);

  // 0 when handed over, else the message to show (busy or failed).
  static int handOver(const Channel& channel, const String& url, const String& referrer, const String& extra);
};
