#pragma once

#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "service/fetch/WebFetcher.h"
#include "service/html/HtmlEngine.h"

namespace vesk {

// The style sheets, pictures and frames of one page, fetched with the page's limits: each within
// the fetcher's resource byte limit, all of them by the page's deadline, a bounded count and a
// bounded total. The
// page's cookies go along to its own host. A resource asked for twice is fetched once.
class FetcherResourceLoader : public ResourceLoader {
 public:
  static const int MAX_RESOURCES = 300;
  static const size_t MAX_BYTES = 16 * 1024 * 1024;

  // pageUrl: the address the page came from (after redirects); cookieHeader: the handset's cookies
  // for it; pageCookies: what the page's answer set; deadline: when the page's answer is due.
  FetcherResourceLoader(const WebFetcher& fetcher, std::string pageUrl, std::string cookieHeader,
                        std::vector<Cookie> pageCookies, std::chrono::steady_clock::time_point deadline);

  FetchedResource load(const std::string& absoluteUrl, size_t maxBytes) override;

  int fetched() const { return fetched_; }
  // Bytes of every resource received (after charset conversion for text).
  size_t bytesReceived() const { return bytes_; }

 private:
  const WebFetcher& fetcher_;
  std::string pageUrl_, pageHost_, cookieHeader_;
  std::vector<Cookie> pageCookies_;
  std::chrono::steady_clock::time_point deadline_;
  std::mutex mutex_;
  std::map<std::string, FetchedResource> cache_;
  int fetched_ = 0;
  size_t bytes_ = 0;
};

}  // namespace vesk
