#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vesk {

struct ServiceConfig {
  std::string host = "127.0.0.1";
  int port = 6111;
  std::string portFile;  // written with the bound port once listening
  std::string stateDir;  // empty: nothing persists (tests)
  std::string fixtureDir;
  std::string logFile;     // empty: the request log stays in memory
  std::string portalHost;  // host:port the portal's links name; default: the listen address
  size_t imageBlockBytes = 16384;
  int32_t imageMemoryLimit = 4 * 1024 * 1024;
  int32_t serverValue1 = 1;
  int32_t serverValue2 = 0;
  bool control = true;  // the control endpoint (loopback callers only)
  // A connection carries one request: its headers and body must arrive within requestTimeoutMs of
  // the connect, and the client must take the whole answer within answerTimeoutMs; otherwise the
  // connection is closed. This keeps slow or idle clients from holding workers for long.
  int requestTimeoutMs = 10000;
  int answerTimeoutMs = 30000;
  size_t maxWorkers = 512;  // connections served at once; more wait for a free worker
  // Pages that are no fixture come from the site folders (host name, folder) and, when
  // fetchNetwork is set, from the web. Off here so that tests never leave the machine; the
  // program turns it on unless started with --offline.
  std::vector<std::pair<std::string, std::string>> sites;
  bool fetchNetwork = false;
  int fetchConnectTimeoutMs = 10000;
  int fetchTimeoutMs = 20000;  // one page with its redirects and its resources
  int maxRedirects = 10;
  size_t pageBytes = 2 * 1024 * 1024;
  size_t resourceBytes = 1024 * 1024;
};

}  // namespace vesk
