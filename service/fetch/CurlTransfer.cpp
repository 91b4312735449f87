#include "service/fetch/CurlTransfer.h"

#include <curl/curl.h>

#include <mutex>

#include "service/AsciiText.h"

namespace vesk {

const char* CurlTransfer::USER_AGENT = "Mozilla/5.0 (Linux) veskRenderService/1.0";

namespace {

struct Receiver {
  HopResponse* response;
  size_t maxBytes;
  bool overflow = false;
};

size_t onBody(char* data, size_t size, size_t n, void* user) {
  Receiver* r = static_cast<Receiver*>(user);
  size_t bytes = size * n;
  if (r->response->body.size() + bytes > r->maxBytes) {
    r->overflow = true;
    return 0;  // ends the transfer with CURLE_WRITE_ERROR
  }
  r->response->body.append(data, bytes);
  return bytes;
}

size_t onHeader(char* data, size_t size, size_t n, void* user) {
  HopResponse* r = static_cast<HopResponse*>(user);
  std::string line(data, size * n);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  // A status line starts the headers afresh (100 Continue, proxies).
  if (line.compare(0, 5, "HTTP/") == 0) {
    r->headers.clear();
    return size * n;
  }
  size_t colon = line.find(':');
  if (colon == std::string::npos || colon == 0) return size * n;
  std::string value = line.substr(colon + 1);
  size_t a = value.find_first_not_of(" \t");
  value = a == std::string::npos ? std::string() : value.substr(a);
  if (r->headers.size() < 200) r->headers.emplace_back(asciiLower(line.substr(0, colon)), value);
  return size * n;
}

FetchFailure failureOf(CURLcode code, bool overflow) {
  if (overflow) return FetchFailure::TOO_LARGE;
  switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
      return FetchFailure::UNKNOWN_HOST;
    case CURLE_COULDNT_CONNECT:
    case CURLE_GOT_NOTHING:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE:
      return FetchFailure::CONNECTION_FAILED;
    case CURLE_OPERATION_TIMEDOUT:
      return FetchFailure::TIMED_OUT;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
      return FetchFailure::TLS;
    case CURLE_FILESIZE_EXCEEDED:
      return FetchFailure::TOO_LARGE;
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
      return FetchFailure::BAD_URL;
    default:
      return FetchFailure::OTHER;
  }
}

}  // namespace

void CurlTransfer::initialize() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

HopResponse CurlTransfer::perform(const HopRequest& request) {
  initialize();
  HopResponse response;
  CURL* curl = curl_easy_init();
  if (!curl) {
    response.failure = FetchFailure::OTHER;
    response.error = "the transfer could not be set up";
    return response;
  }
  Receiver receiver{&response, request.maxBytes};
  curl_slist* headers = nullptr;
  for (const auto& h : request.headers)
    headers = curl_slist_append(headers, (h.first + ": " + h.second).c_str());
  // No "Expect: 100-continue" wait before a form body.
  headers = curl_slist_append(headers, "Expect:");
  char errorText[CURL_ERROR_SIZE] = {0};

  curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(request.connectTimeoutMs));
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(request.totalTimeoutMs));
  curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(request.maxBytes));
  curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
  curl_easy_setopt(curl, CURLOPT_USERAGENT, USER_AGENT);
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, onBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &receiver);
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, onHeader);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &response);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
  if (request.method == "POST") {
    curl_easy_setopt(curl, CURLOPT_POST, 1L);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
    curl_easy_setopt(curl, CURLOPT_COPYPOSTFIELDS, request.body.c_str());
  }
  CURLcode code = curl_easy_perform(curl);
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  response.status = static_cast<int>(status);
  if (code != CURLE_OK) {
    response.failure = failureOf(code, receiver.overflow);
    response.error = errorText[0] ? errorText : curl_easy_strerror(code);
    response.body.clear();
  }
  curl_slist_free_all(headers);
  curl_easy_cleanup(curl);
  return response;
}

}  // namespace vesk
