#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "vwt/lang/String.h"

namespace vwt {
namespace platform {
struct ConnectionRequest;
}
}  // namespace vwt

// Brings up the handset's data connection through the platform's connection
// manager: maps an address to its network, probes it, connects on a thread
// of its own, follows the status and reports the proxy the network needs.
//
// The system property "dialup.status" makes the stand-in platform report
// that status instead of 16 (connected), and "refuse" makes it refuse the
// request, so that the failure paths can be taken.
class DialupManager {
 public:
  enum Status {
    STATUS_UNKNOWN = 0,
    STATUS_CONNECTED = 16,
    STATUS_DISCONNECTED = 32,
  };

  DialupManager();
  virtual ~DialupManager();
  DialupManager(const DialupManager&) = delete;
  DialupManager& operator=(const DialupManager&) = delete;

  // Hooks, called on the connection thread. Non-zero ends the thread.
  virtual unsigned long onStatusUpdate(unsigned long status);
  virtual unsigned long onRequestAccepted() { return 0; }
  virtual unsigned long onConnectingError();
  virtual unsigned long onConnected();
  virtual unsigned long onDisconnected();
  virtual unsigned long onWaiting() { return 0; }
  virtual unsigned long onThreadEnd() { return 0; }

  // Asks for a connection without making it, waiting at most 400 ms.
  bool isAvailable(const char16_t* path, bool proxy);
  // Starts a connection thread (stopping a running one first).
  bool attemptConnect(const char16_t* path, bool proxy);
  // Stops the connection thread, waiting at most 3000 ms for it.
  unsigned long hangupConnection();

  String getStatusName() const { return getStatusName(status_); }
  static String getStatusName(unsigned long status);
  unsigned long getStatus() const { return status_; }

  void setProxy(bool proxy) { proxy_ = proxy; }
  bool getProxy() const { return proxy_; }
  bool isProxyRequired() const { return proxyRequired_; }
  // Null when no proxy is required.
  String getProxyServer() const;
  void SetCache(bool cache) { cache_ = cache; }
  bool GetCache() const { return cache_; }
  const unsigned char* GetNetworkGuid() const { return network_; }

  static String getInternetPath();
  static void setInternetPath(const char16_t* path);
  static String getCorpNetPath();
  static void setCorpNetPath(const char16_t* path);

 private:
  // The platform's status for a request: 16 unless the property says otherwise.
  static unsigned long configuredStatus(bool* refuse);
  bool getNetworkFromPath(const char16_t* path);
  void checkForRequiredProxy(vwt::platform::ConnectionRequest* connection);
  void connectionThread();
  // Waits for the stop event (auto-reset); false on timeout.
  bool waitStop(int ms);

  String path_;
  std::atomic<bool> proxy_;
  vwt::platform::ConnectionRequest* connection_;
  std::atomic<bool> cache_;
  unsigned char network_[16];
  std::atomic<unsigned long> status_;
  std::mutex stopLock_;
  std::condition_variable stopEvent_;
  bool stopSignalled_;
  std::thread* thread_;  // owned
  std::atomic<bool> threadDone_;
  std::atomic<bool> proxyRequired_;
  mutable std::mutex proxyLock_;
  String proxyServer_;
};
