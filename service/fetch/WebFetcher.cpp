#include "service/fetch/WebFetcher.h"

#include <openssl/evp.h>

#include <ctime>
#include <vector>

#include "service/AsciiText.h"
#include "service/fetch/CharsetDecoder.h"
#include "service/fetch/CurlTransfer.h"
#include "service/fetch/SetCookieParser.h"
#include "service/fetch/WebUrl.h"

namespace vesk {

namespace {

std::string base64(const std::string& in) {
  std::vector<unsigned char> out(4 * ((in.size() + 2) / 3) + 1);
  int n = EVP_EncodeBlock(out.data(), reinterpret_cast<const unsigned char*>(in.data()),
                          static_cast<int>(in.size()));
  return std::string(reinterpret_cast<char*>(out.data()), static_cast<size_t>(n));
}

std::string mediaType(const std::string& contentType) {
  std::string t = asciiLower(contentType.substr(0, contentType.find(';')));
  size_t a = t.find_first_not_of(" \t");
  size_t b = t.find_last_not_of(" \t");
  return a == std::string::npos ? std::string() : t.substr(a, b - a + 1);
}

bool isText(const std::string& type) {
  return type.compare(0, 5, "text/") == 0 || type == "application/xhtml+xml" || type == "application/xml" ||
         type == "application/json" || type == "application/javascript" || type == "image/svg+xml";
}

// The realm of a Basic challenge; nothing when the answer offers no Basic scheme.
bool basicRealm(const HopResponse& r, std::string& realm) {
  for (const auto& h : r.headers) {
    if (h.first != "www-authenticate" || asciiLower(h.second.substr(0, 5)) != "basic") continue;
    std::string v = h.second;
    size_t at = asciiLower(v).find("realm=");
    realm.clear();
    if (at != std::string::npos) {
      at += 6;
      if (at < v.size() && v[at] == '"') {
        size_t end = v.find('"', at + 1);
        realm = v.substr(at + 1, end == std::string::npos ? std::string::npos : end - at - 1);
      } else {
        realm = v.substr(at, v.find_first_of(", ", at) - at);
      }
    }
    return true;
  }
  return false;
}

std::string cookieHeaderFor(const std::vector<Cookie>& jar, const std::string& host,
                            const std::string& path) {
  std::string out;
  for (const Cookie& c : jar) {
    if (c.lifetime < 0 || !SetCookieParser::matches(c, host, path)) continue;
    if (!out.empty()) out += "; ";
    out += c.name + "=" + c.value;
  }
  return out;
}

}  // namespace

WebFetcher::WebFetcher(FetchLimits limits, std::vector<SiteFolder> sites, bool network)
    : limits_(limits), sites_(std::move(sites)), network_(network) {
  if (network_) CurlTransfer::initialize();
}

const SiteFolder* WebFetcher::siteFor(const std::string& host) const {
  std::string h = asciiLower(host);
  for (const SiteFolder& s : sites_)
    if (s.name() == h) return &s;
  return nullptr;
}

std::string WebFetcher::describe(FetchFailure failure) {
  switch (failure) {
    case FetchFailure::NONE:
      return "No error.";
    case FetchFailure::BAD_URL:
      return "The address is not an http or https address.";
    case FetchFailure::UNKNOWN_HOST:
      return "The server's name is not known.";
    case FetchFailure::CONNECTION_FAILED:
      return "The server refused the connection or broke it off.";
    case FetchFailure::TIMED_OUT:
      return "The server did not answer in time.";
    case FetchFailure::TLS:
      return "The secure connection could not be set up: the certificate or the handshake failed.";
    case FetchFailure::TOO_LARGE:
      return "The page is larger than the service accepts.";
    case FetchFailure::REDIRECT_LOOP:
      return "The server redirected too many times.";
    case FetchFailure::NOT_FOUND:
      return "There is no such page.";
    case FetchFailure::BAD_STATUS:
      return "The server answered with an error.";
    case FetchFailure::OTHER:
      break;
  }
  return "The page could not be fetched.";
}

HopResponse WebFetcher::hop(const HopRequest& request) const {
  auto url = WebUrl::parse(request.url);
  if (const SiteFolder* site = url ? siteFor(url->host()) : nullptr) return site->serve(request);
  if (!network_) {
    HopResponse r;
    r.failure = FetchFailure::UNKNOWN_HOST;
    r.error = "this service fetches from its local sites only";
    return r;
  }
  return CurlTransfer::perform(request);
}

FetchOutcome WebFetcher::fetch(const PageRequest& request) const {
  return fetch(request, std::chrono::steady_clock::now() + std::chrono::milliseconds(limits_.totalTimeoutMs));
}

FetchOutcome WebFetcher::fetch(const PageRequest& request,
                               std::chrono::steady_clock::time_point deadline) const {
  FetchOutcome out;
  auto first = WebUrl::parse(request.url);
  if (!first) {
    out.url = request.url;
    out.failure = FetchFailure::BAD_URL;
    out.error = "not an http or https address";
    return out;
  }
  const std::string originHost = first->host();
  const int originPort = first->port();
  HopRequest hopRequest;
  hopRequest.url = first->text();
  hopRequest.maxBytes = request.maxBytes ? request.maxBytes : limits_.pageBytes;
  if (request.post && request.formGet) {
    // A GET form: the fields replace the action's query.
    std::string base = hopRequest.url.substr(0, hopRequest.url.find_first_of("?#"));
    hopRequest.url = base + (request.postData.empty() ? "" : "?" + request.postData);
  } else if (request.post) {
    hopRequest.method = "POST";
    hopRequest.body = request.postData;
  }
  std::vector<Cookie> jar;  // cookies set along the redirect chain
  std::string referrer = request.referrer;
  std::time_t now = std::time(nullptr);
  for (int hops = 0;; ++hops) {
    auto url = WebUrl::parse(hopRequest.url);
    if (!url) {
      out.failure = FetchFailure::BAD_URL;
      out.error = "not an http or https address";
      out.url = hopRequest.url;
      return out;
    }
    out.url = url->text();
    auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      out.failure = FetchFailure::TIMED_OUT;
      out.error = "no time left for " + url->text();
      return out;
    }
    hopRequest.totalTimeoutMs = static_cast<int>(left.count());
    hopRequest.connectTimeoutMs = std::min(limits_.connectTimeoutMs, hopRequest.totalTimeoutMs);
    hopRequest.headers.clear();
    hopRequest.headers.emplace_back("accept", "text/html,application/xhtml+xml,*/*;q=0.8");
    if (hopRequest.method == "POST")
      hopRequest.headers.emplace_back("content-type", "application/x-www-form-urlencoded");
    // The handset's own cookies and credentials belong to the origin it asked for.
    bool sameOrigin = url->host() == originHost && url->port() == originPort;
    std::string cookies = sameOrigin ? request.cookieHeader : std::string();
    std::string set = cookieHeaderFor(jar, url->host(), url->path());
    if (!set.empty()) cookies += (cookies.empty() ? "" : "; ") + set;
    if (!cookies.empty()) hopRequest.headers.emplace_back("cookie", cookies);
    if (sameOrigin && !request.user.empty())
      hopRequest.headers.emplace_back("authorization",
                                      "Basic " + base64(request.user + ":" + request.password));
    if (!referrer.empty()) hopRequest.headers.emplace_back("referer", referrer);

    HopResponse r = hop(hopRequest);
    for (const auto& h : r.headers) {
      if (h.first != "set-cookie") continue;
      if (auto c = SetCookieParser::parse(h.second, url->host(), url->path(), now)) {
        // A later cookie of the same name and place replaces the earlier one.
        for (auto it = jar.begin(); it != jar.end();)
          it = it->name == c->name && it->domain == c->domain && it->path == c->path ? jar.erase(it) : it + 1;
        jar.push_back(*c);
        out.cookies.push_back(*c);
      }
    }
    if (r.failure != FetchFailure::NONE) {
      out.failure = r.failure;
      out.error = r.error;
      out.status = r.status;
      return out;
    }
    out.status = r.status;
    std::string location = r.header("location");
    bool redirect =
        r.status == 301 || r.status == 302 || r.status == 303 || r.status == 307 || r.status == 308;
    if (redirect && !location.empty()) {
      if (hops >= limits_.maxRedirects) {
        out.failure = FetchFailure::REDIRECT_LOOP;
        out.error = "more than " + std::to_string(limits_.maxRedirects) + " redirects";
        return out;
      }
      auto next = WebUrl::resolve(url->text(), location);
      if (!next) {
        out.failure = FetchFailure::BAD_URL;
        out.error = "a redirect to " + location;
        return out;
      }
      // 303, and 301/302 after a POST, continue as a GET, as browsers do.
      if (r.status == 303 || (hopRequest.method == "POST" && (r.status == 301 || r.status == 302))) {
        hopRequest.method = "GET";
        hopRequest.body.clear();
      }
      referrer = url->text();
      hopRequest.url = *next;
      continue;
    }
    std::string contentType = r.header("content-type");
    out.contentType = mediaType(contentType);
    if (out.contentType.empty()) out.contentType = "text/html";
    if (r.status == 401 && basicRealm(r, out.realm)) out.authRequired = true;
    if (isText(out.contentType)) {
      CharsetDecoder::Result text = CharsetDecoder::decode(
          r.body, contentType, out.contentType == "text/html" || out.contentType == "application/xhtml+xml");
      out.body = std::move(text.text);
      out.charset = text.charset;
    } else {
      out.body = std::move(r.body);
    }
    if (r.status >= 400 && !out.authRequired) {
      out.failure = r.status == 404 || r.status == 410 ? FetchFailure::NOT_FOUND : FetchFailure::BAD_STATUS;
      out.error = "the server answered " + std::to_string(r.status);
    }
    return out;
  }
}

}  // namespace vesk
