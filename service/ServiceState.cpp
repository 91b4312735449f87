#include "service/ServiceState.h"

#include <sys/stat.h>

namespace vesk {

std::string ServiceState::inState(const ServiceConfig& c, const std::string& name) {
  if (c.stateDir.empty()) return std::string();
  mkdir(c.stateDir.c_str(), 0700);  // an existing directory is fine
  return name.empty() ? c.stateDir : c.stateDir + "/" + name;
}

ServiceState::ServiceState(const ServiceConfig& c)
    : config(c),
      key(inState(c, "rsa-key.pem")),
      sessions(inState(c, "sessions")),
      bookmarks(inState(c, "")),
      fixtures(c.fixtureDir),
      log(c.logFile) {}

}  // namespace vesk
