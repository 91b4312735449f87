#include "service/fetch/FetcherResourceLoader.h"

#include "service/fetch/SetCookieParser.h"
#include "service/fetch/WebUrl.h"

namespace vesk {

FetcherResourceLoader::FetcherResourceLoader(const WebFetcher& fetcher, std::string pageUrl,
                                             std::string cookieHeader, std::vector<Cookie> pageCookies,
                                             std::chrono::steady_clock::time_point deadline)
    : fetcher_(fetcher),
      pageUrl_(std::move(pageUrl)),
      cookieHeader_(std::move(cookieHeader)),
      pageCookies_(std::move(pageCookies)),
      deadline_(deadline) {
  if (auto u = WebUrl::parse(pageUrl_)) pageHost_ = u->host();
}

FetchedResource FetcherResourceLoader::load(const std::string& absoluteUrl, size_t maxBytes) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto cached = cache_.find(absoluteUrl);
  if (cached != cache_.end()) return cached->second;
  FetchedResource out;
  out.url = absoluteUrl;
  auto url = WebUrl::parse(absoluteUrl);
  if (!url) {
    out.error = WebFetcher::describe(FetchFailure::BAD_URL);
    return out;
  }
  if (fetched_ >= MAX_RESOURCES || bytes_ >= MAX_BYTES) {
    out.error = "the page refers to more than the service fetches for one page";
    return out;
  }
  ++fetched_;
  PageRequest r;
  r.url = url->text();
  r.referrer = pageUrl_;
  r.maxBytes =
      maxBytes && maxBytes < fetcher_.limits().resourceBytes ? maxBytes : fetcher_.limits().resourceBytes;
  if (url->host() == pageHost_) {
    r.cookieHeader = cookieHeader_;
    for (const Cookie& c : pageCookies_) {
      if (c.lifetime < 0 || !SetCookieParser::matches(c, url->host(), url->path())) continue;
      r.cookieHeader += (r.cookieHeader.empty() ? "" : "; ") + c.name + "=" + c.value;
    }
  }
  FetchOutcome o = fetcher_.fetch(r, deadline_);
  out.url = o.url;
  out.contentType = o.contentType;
  bool answered = o.failure == FetchFailure::NONE || o.failure == FetchFailure::NOT_FOUND ||
                  o.failure == FetchFailure::BAD_STATUS;
  out.status = answered ? o.status : 0;
  if (o.failure == FetchFailure::NONE && o.status >= 200 && o.status < 300) {
    out.body = std::move(o.body);
    bytes_ += out.body.size();
  } else {
    out.error = o.failure == FetchFailure::NONE ? "the server answered " + std::to_string(o.status)
                                                : WebFetcher::describe(o.failure) + " (" + o.error + ")";
  }
  cache_[absoluteUrl] = out;
  return out;
}

}  // namespace vesk
