#include "vwt/net/DialupManager.h"

#include <chrono>
#include <cstring>

#include "vwt/lang/Exception.h"
#include "vwt/lang/Integer.h"
#include "vwt/lang/Logger.h"
#include "vwt/lang/Long.h"
#include "vwt/lang/System.h"
#include "vwt/platform/ConnectionManager.h"

namespace {
std::mutex gPathLock;
String gInternetPath(u"http://www.example.com/"_s);
String gCorpNetPath(u"http://corp.invalid/"_s);

std::u16string units(const String& s) { return std::u16string(s.getCString(), s.length()); }

// A copy of its own: the caller's text may go.
String copyOf(const char16_t* s) {
  return s ? String(s, 0, static_cast<int>(std::char_traits<char16_t>::length(s))) : String();
}
}  // namespace

DialupManager::DialupManager()
    : proxy_(false),
      connection_(nullptr),
      cache_(true),
      status_(0),
      stopSignalled_(false),
      thread_(nullptr),
      threadDone_(true),
      proxyRequired_(false) {
  std::memset(network_, 0, sizeof network_);
}

DialupManager::~DialupManager() { hangupConnection(); }

unsigned long DialupManager::configuredStatus(bool* refuse) {
  *refuse = false;
  String value;
  try {
    value = System::getProperty(u"dialup.status"_s);
  } catch (const Exception&) {
    return STATUS_CONNECTED;  // no property file: the plain stand-in
  }
  if (value.isNull()) return STATUS_CONNECTED;
  if (value == u"refuse") {
    *refuse = true;
    return STATUS_UNKNOWN;
  }
  return static_cast<unsigned long>(Integer::parseInt(value, STATUS_CONNECTED));
}

bool DialupManager::getNetworkFromPath(const char16_t* path) {
  if (path) path_ = copyOf(path);
  return vwt::platform::mapConnectionDestination(units(path_), network_);
}

bool DialupManager::isAvailable(const char16_t* path, bool proxy) {
  if (!getNetworkFromPath(path)) return false;
  bool refuse;
  unsigned long status = configuredStatus(&refuse);
  if (refuse) return false;
  // The stand-in answers at once, well inside the 400 ms the handset waits.
  vwt::platform::ConnectionRequest* probe = vwt::platform::requestConnection(network_, proxy, true, status);
  if (!probe) return false;
  unsigned long answer = vwt::platform::connectionStatus(probe);
  if (answer == STATUS_CONNECTED || answer == 35) checkForRequiredProxy(probe);
  vwt::platform::releaseConnection(probe, cache_);
  return true;
}

bool DialupManager::attemptConnect(const char16_t* path, bool proxy) {
  if (!getNetworkFromPath(path)) return false;
  proxy_ = proxy;
  hangupConnection();
  {
    std::lock_guard<std::mutex> g(stopLock_);
    stopSignalled_ = false;
  }
  threadDone_ = false;
  try {
    thread_ = new std::thread(&DialupManager::connectionThread, this);
  } catch (const std::exception&) {
    threadDone_ = true;
    return false;
  }
  return true;
}

unsigned long DialupManager::hangupConnection() {
  if (!thread_) return 0;
  {
    std::lock_guard<std::mutex> g(stopLock_);
    stopSignalled_ = true;
  }
  stopEvent_.notify_all();
  for (int waited = 0; !threadDone_ && waited < 3000; waited += 10)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  if (threadDone_)
    thread_->join();
  else
    thread_->detach();  // a hook that never returns: the thread is given up
  delete thread_;
  thread_ = nullptr;
  return status_;
}

bool DialupManager::waitStop(int ms) {
  std::unique_lock<std::mutex> g(stopLock_);
  bool signalled = stopEvent_.wait_for(g, std::chrono::milliseconds(ms), [this] { return stopSignalled_; });
  stopSignalled_ = false;
  return signalled;
}

void DialupManager::connectionThread() {
  bool refuse;
  unsigned long status = configuredStatus(&refuse);
  connection_ = refuse ? nullptr : vwt::platform::requestConnection(network_, proxy_, false, status);
  if (!connection_) {
    onConnectingError();
    cache_ = false;
  } else {
    onRequestAccepted();
    // The stand-in's handle signals once, at once; after that only the stop
    // event can end the wait.
    status_ = vwt::platform::connectionStatus(connection_);
    if (onStatusUpdate(status_) == 0) waitStop(24 * 3600 * 1000);
  }
  onThreadEnd();
  if (connection_) vwt::platform::releaseConnection(connection_, cache_);
  connection_ = nullptr;
  threadDone_ = true;
}

unsigned long DialupManager::onStatusUpdate(unsigned long status) {
  if (status & 0x20) {
    cache_ = status == STATUS_DISCONNECTED;
    return status == STATUS_DISCONNECTED ? onDisconnected() : onConnectingError();
  }
  if (status == STATUS_CONNECTED) return onConnected();
  if (status & 0x40) return onWaiting();
  return 0;
}

unsigned long DialupManager::onConnected() {
  if (connection_) checkForRequiredProxy(connection_);
  return 0;
}

unsigned long DialupManager::onDisconnected() { return vwt::platform::CONNECTION_FAILURE; }

unsigned long DialupManager::onConnectingError() {
  // The handset runs ":MSREMNET -CMERROR 0x%x -report" here; a desktop has no
  // such report, so it goes to the log.
  Logger::getLogger()->log(Logger::WARNING, String(u"connection failed: "_s) + getStatusName());
  return vwt::platform::CONNECTION_FAILURE;
}

void DialupManager::checkForRequiredProxy(vwt::platform::ConnectionRequest* connection) {
  std::lock_guard<std::mutex> g(proxyLock_);
  proxyRequired_ = false;
  proxyServer_ = String::null;
  std::u16string server;
  if (vwt::platform::connectionHttpProxy(connection, &server)) {
    proxyRequired_ = true;
    proxyServer_ = String(server.c_str(), 0, static_cast<int>(server.size()));
  }
}

String DialupManager::getProxyServer() const {
  std::lock_guard<std::mutex> g(proxyLock_);
  return proxyRequired_ ? proxyServer_ : String::null;
}

String DialupManager::getStatusName(unsigned long status) {
  switch (status) {
    case 0:
      return u"STATUS_UNKNOWN"_s;
    case 16:
      return u"STATUS_CONNECTED"_s;
    case 17:
      return u"STATUS_SUSPENDED"_s;
    case 32:
      return u"STATUS_DISCONNECTED"_s;
    case 33:
      return u"STATUS_CONNECTION_FAILED"_s;
    case 34:
      return u"STATUS_CONNECTION_CANCELED"_s;
    case 35:
      return u"STATUS_CONNECTION_DISABLED"_s;
    case 36:
      return u"STATUS_NO_PATH_TO_DESTINATION"_s;
    case 37:
      return u"STATUS_WAITING_FOR_PATH"_s;
    case 38:
      return u"STATUS_WAITING_FOR_PHONE"_s;
    case 39:
      return u"STATUS_PHONE_OFF"_s;
    case 40:
      return u"STATUS_EXCLUSIVE_CONFLICT"_s;
    case 41:
      return u"STATUS_NO_RESOURCES"_s;
    case 42:
      return u"STATUS_CONNECTION_LINK_FAILED"_s;
    case 43:
      return u"STATUS_AUTHENTICATION_FAILED"_s;
    case 44:
      return u"STATUS_NO_PATH_WITH_PROPERTY"_s;
    case 64:
      return u"STATUS_WAITING_CONNECTION"_s;
    case 65:
      return u"STATUS_WAITING_FOR_RESOURCE"_s;
    case 66:
      return u"STATUS_WAITING_FOR_NETWORK"_s;
    case 128:
      return u"STATUS_WAITING_DISCONNECTION"_s;
    case 129:
      return u"STATUS_WAITING_CONNECTION_ABORT"_s;
    default:
      return String(static_cast<int64_t>(status));
  }
}

String DialupManager::getInternetPath() {
  std::lock_guard<std::mutex> g(gPathLock);
  return gInternetPath;
}
void DialupManager::setInternetPath(const char16_t* path) {
  std::lock_guard<std::mutex> g(gPathLock);
  gInternetPath = copyOf(path);
}
String DialupManager::getCorpNetPath() {
  std::lock_guard<std::mutex> g(gPathLock);
  return gCorpNetPath;
}
void DialupManager::setCorpNetPath(const char16_t* path) {
  std::lock_guard<std::mutex> g(gPathLock);
  gCorpNetPath = copyOf(path);
}
