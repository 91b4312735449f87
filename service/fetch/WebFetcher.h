#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "service/fetch/FetchModel.h"
#include "service/fetch/SiteFolder.h"

namespace vesk {

// Fetches a page or a resource the way a browser would: configured site folders first, the
// network otherwise (when allowed); redirects followed up to a bound, the handset's cookies and
// credentials sent to the origin it asked for only, Set-Cookie collected from every answer,
// text converted to UTF-8. Never throws for anything the web sends.
class WebFetcher {
 public:
  WebFetcher(FetchLimits limits, std::vector<SiteFolder> sites, bool network);

  FetchOutcome fetch(const PageRequest& request) const;
  // As fetch, but the whole exchange ends by deadline.
  FetchOutcome fetch(const PageRequest& request, std::chrono::steady_clock::time_point deadline) const;

  const FetchLimits& limits() const { return limits_; }
  const std::vector<SiteFolder>& sites() const { return sites_; }
  const SiteFolder* siteFor(const std::string& host) const;
  bool network() const { return network_; }

  // The reason of a failure in words, for the error page.
  static std::string describe(FetchFailure failure);

 private:
  HopResponse hop(const HopRequest& request) const;

  FetchLimits limits_;
  std::vector<SiteFolder> sites_;
  bool network_;
};

}  // namespace vesk
