#pragma once

#include "service/BookmarkStore.h"
#include "service/FixtureLibrary.h"
#include "service/PageMemory.h"
#include "service/RequestLog.h"
#include "service/ScriptedBehaviour.h"
#include "service/ServerKey.h"
#include "service/ServiceConfig.h"
#include "service/SessionRegistry.h"
#include "service/UploadStore.h"
#include "service/fetch/FormMethods.h"
#include "service/fetch/WebFetcher.h"

namespace vesk {

// Everything the service keeps between requests, built from its configuration. Creates the
// state directory when one is configured.
class ServiceState {
 public:
  explicit ServiceState(const ServiceConfig& config);

  ServiceConfig config;
  ServerKey key;
  SessionRegistry sessions;
  UploadStore uploads;
  BookmarkStore bookmarks;
  FixtureLibrary fixtures;
  PageMemory pages;
  ScriptedBehaviour script;
  RequestLog log;
  WebFetcher fetcher;
  FormMethods forms;

 private:
  static std::string inState(const ServiceConfig& c, const std::string& name);
  static WebFetcher makeFetcher(const ServiceConfig& c);
};

}  // namespace vesk
