#include "service/ServiceState.h"

#include <sys/stat.h>

namespace vesk {

std::string ServiceState::inState(const ServiceConfig& c, const std::string& name) {
  if (c.stateDir.empty()) return std::string();
  mkdir(c.stateDir.c_str(), 0700);  // an existing directory is fine
  return name.empty() ? c.stateDir : c.stateDir + "/" + name;
}

WebFetcher ServiceState::makeFetcher(const ServiceConfig& c) {
  FetchLimits limits;
  limits.connectTimeoutMs = c.fetchConnectTimeoutMs;
  limits.totalTimeoutMs = c.fetchTimeoutMs;
  limits.maxRedirects = c.maxRedirects;
  limits.pageBytes = c.pageBytes;
  limits.resourceBytes = c.resourceBytes;
  std::vector<SiteFolder> sites;
  for (const auto& s : c.sites) sites.emplace_back(s.first, s.second);
  return WebFetcher(limits, std::move(sites), c.fetchNetwork);
}

ServiceState::ServiceState(const ServiceConfig& c)
    : config(c),
      key(inState(c, "rsa-key.pem")),
      sessions(inState(c, "sessions")),
      bookmarks(inState(c, "")),
      fixtures(c.fixtureDir),
      log(c.logFile),
      fetcher(makeFetcher(c)) {}

}  // namespace vesk
