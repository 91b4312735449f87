#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "service/PageModel.h"

namespace vesk {

// Why a fetch produced no usable answer; each has its own line on the error page.
enum class FetchFailure {
  NONE,
  BAD_URL,            // not http or https, or not a URL at all
  UNKNOWN_HOST,       // the name does not resolve (or is no configured site without network)
  CONNECTION_FAILED,  // nobody listens, or the connection broke
  TIMED_OUT,          // connect or total time-out
  TLS,                // handshake or certificate
  TOO_LARGE,          // more bytes than the limit
  REDIRECT_LOOP,      // more redirects than allowed
  NOT_FOUND,          // a site folder has no such file (also paths that try to leave it)
  BAD_STATUS,         // the origin answered with an error status
  OTHER
};

using HeaderList = std::vector<std::pair<std::string, std::string>>;  // names in lower case

// One request to one origin, redirects not followed.
struct HopRequest {
  std::string method = "GET";
  std::string url;
  HeaderList headers;
  std::string body;  // POST only
  size_t maxBytes = 0;
  int connectTimeoutMs = 10000;
  int totalTimeoutMs = 20000;
};

struct HopResponse {
  int status = 0;
  HeaderList headers;
  std::string body;
  FetchFailure failure = FetchFailure::NONE;
  std::string error;

  // First value of a header (name in lower case); empty when absent.
  std::string header(const std::string& name) const {
    for (const auto& h : headers)
      if (h.first == name) return h.second;
    return std::string();
  }
};

// What the handset's query asks the service to fetch.
struct PageRequest {
  std::string url;
  bool post = false;
  std::string postData;      // form-encoded; sent as the body, or as the query of a GET form
  bool formGet = false;      // the form that sent postData said method="get"
  std::string cookieHeader;  // the handset's cookies for the page's origin ("a=1; b=2")
  std::string user, password;
  std::string referrer;
  size_t maxBytes = 0;  // 0: the fetcher's page limit
};

// The final answer after redirects; text bodies converted to UTF-8.
struct FetchOutcome {
  int status = 0;
  std::string url;          // after redirects
  std::string contentType;  // lower case, without parameters
  std::string charset;      // the character set the body came in
  std::string body;
  std::vector<Cookie> cookies;  // Set-Cookie of every answer along the way
  bool authRequired = false;    // 401 with a Basic challenge
  std::string realm;
  FetchFailure failure = FetchFailure::NONE;
  std::string error;
};

// Limits of one fetch; resources of a page use resourceBytes instead of pageBytes.
struct FetchLimits {
  int connectTimeoutMs = 10000;
  int totalTimeoutMs = 20000;
  int maxRedirects = 10;
  size_t pageBytes = 2 * 1024 * 1024;
  size_t resourceBytes = 1024 * 1024;
};

}  // namespace vesk
