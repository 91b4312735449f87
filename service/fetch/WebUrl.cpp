#include "service/fetch/WebUrl.h"

#include <curl/curl.h>

#include <memory>

#include "service/AsciiText.h"

namespace vesk {

namespace {

struct UrlHandle {
  CURLU* h = curl_url();
  ~UrlHandle() { curl_url_cleanup(h); }
  std::optional<std::string> get(CURLUPart part, unsigned flags = 0) const {
    char* s = nullptr;
    if (curl_url_get(h, part, &s, flags) != CURLUE_OK || !s) return std::nullopt;
    std::string out(s);
    curl_free(s);
    return out;
  }
};

bool isWebScheme(const std::string& s) { return s == "http" || s == "https"; }

}  // namespace

std::optional<WebUrl> WebUrl::parse(const std::string& url) {
  if (url.find('\0') != std::string::npos) return std::nullopt;
  UrlHandle u;
  if (!u.h || curl_url_set(u.h, CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) return std::nullopt;
  auto scheme = u.get(CURLUPART_SCHEME);
  auto host = u.get(CURLUPART_HOST);
  auto port = u.get(CURLUPART_PORT, CURLU_DEFAULT_PORT);
  auto path = u.get(CURLUPART_PATH);
  auto text = u.get(CURLUPART_URL);
  if (!scheme || !host || !path || !text || !isWebScheme(asciiLower(*scheme)) || host->empty())
    return std::nullopt;
  WebUrl w;
  w.scheme_ = asciiLower(*scheme);
  w.host_ = asciiLower(*host);
  w.port_ = port ? std::atoi(port->c_str()) : 0;
  w.path_ = *path;
  w.pathAndQuery_ = *path;
  if (auto q = u.get(CURLUPART_QUERY)) w.pathAndQuery_ += "?" + *q;
  w.text_ = *text;
  return w;
}

std::optional<std::string> WebUrl::resolve(const std::string& base, const std::string& ref) {
  if (ref.find('\0') != std::string::npos || !parse(base)) return std::nullopt;
  UrlHandle u;
  if (!u.h || curl_url_set(u.h, CURLUPART_URL, base.c_str(), 0) != CURLUE_OK) return std::nullopt;
  // Spaces and other raw bytes in a page's links are encoded as a browser would.
  if (curl_url_set(u.h, CURLUPART_URL, ref.c_str(), CURLU_URLENCODE) != CURLUE_OK) return std::nullopt;
  auto text = u.get(CURLUPART_URL);
  if (!text || !parse(*text)) return std::nullopt;
  return text;
}

}  // namespace vesk
