#include "service/fetch/WebPageBuilder.h"

#include <chrono>
#include <exception>

#include "service/PortalPage.h"
#include "service/QueryString.h"
#include "service/fetch/FetcherResourceLoader.h"
#include "service/fetch/WebUrl.h"

namespace vesk {

namespace {

const size_t WIDTH_TABLE_LENGTH = 851;

std::string escapeHtml(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    switch (c) {
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '&':
        out += "&amp;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

int inRange(const QueryString& q, const char* key, int fallback, int low, int high) {
  long long v = q.getInt(key, fallback);
  return v < low || v > high ? fallback : static_cast<int>(v);
}

bool isHtml(const std::string& type) { return type == "text/html" || type == "application/xhtml+xml"; }

std::string fileNameOf(const std::string& url) {
  std::string path = url.substr(0, url.find_first_of("?#"));
  size_t slash = path.rfind('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return name.empty() ? "file" : QueryString::decode(name);
}

}  // namespace

WebPageBuilder::WebPageBuilder(const WebFetcher& fetcher, FormMethods& forms, EngineFactory engines)
    : fetcher_(fetcher), forms_(forms), engines_(std::move(engines)) {}

ClientMetrics WebPageBuilder::metricsFrom(const QueryString& q, int32_t imageMemoryLimit) {
  ClientMetrics m;
  m.width = inRange(q, "wd", m.width, 16, 4096);
  m.ascent = inRange(q, "fa", m.ascent, 1, 256);
  m.descent = inRange(q, "fb", m.descent, 0, 256);
  m.lineHeight = inRange(q, "fh", m.lineHeight, 1, 256);
  m.wideWidth = inRange(q, "fw", m.wideWidth, 1, 256);
  std::string cw = q.get("cw");
  if (cw.size() == WIDTH_TABLE_LENGTH) m.widthTable = cw;
  m.imageMemoryLimit = imageMemoryLimit;
  return m;
}

Page WebPageBuilder::layout(const std::string& html, const std::string& url, const ClientMetrics& metrics,
                            ResourceLoader& resources) const {
  std::unique_ptr<HtmlEngine> engine = engines_();
  Page page = engine->layout(html, url, metrics, resources);
  page.url = url;
  return page;
}

Page WebPageBuilder::errorPage(const std::string& url, const std::string& reason, const std::string& detail,
                               const ClientMetrics& metrics) const {
  const std::string title = "Page not available";
  std::string html = "<html><head><title>" + title + "</title></head><body><h3>" + title + "</h3><p>" +
                     escapeHtml(reason) + "</p><p><small>" + escapeHtml(url) + "</small></p>";
  if (!detail.empty()) html += "<p><small>" + escapeHtml(detail) + "</small></p>";
  html += "</body></html>";
  Page page;
  try {
    // Nothing to fetch for it: a loader without sites or network.
    static const WebFetcher nothing(FetchLimits(), {}, false);
    FetcherResourceLoader none(nothing, url, std::string(), {}, std::chrono::steady_clock::now());
    page = layout(html, url, metrics, none);
  } catch (const std::exception&) {
    page = Page();
  }
  if (page.items.empty()) page = PortalPage::notice(title, reason);
  page.title = title;
  page.url = url;
  return page;
}

Page WebPageBuilder::build(const std::string& url, const QueryString& q, int32_t user,
                           const ClientMetrics& metrics, Stats* stats) const {
  PageRequest request;
  request.url = url;
  request.post = q.has("p");
  request.postData = q.get("p");
  request.formGet = request.post && forms_.isGet(user, url);
  request.cookieHeader = q.get("co");
  request.user = q.get("aid");
  request.password = q.get("apw");
  request.referrer = q.get("bu", q.get("o"));
  if (request.referrer.compare(0, 4, "http") != 0) request.referrer.clear();
  // The handset waits 30 s for its answer: the page and its resources share one span.
  auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(fetcher_.limits().totalTimeoutMs);
  FetchOutcome o = fetcher_.fetch(request, deadline);
  if (stats) stats->documentBytes = o.body.size();

  Page page;
  if (o.failure != FetchFailure::NONE) {
    page = errorPage(o.url, WebFetcher::describe(o.failure), o.error, metrics);
  } else if (o.authRequired) {
    page = errorPage(o.url, "This page needs a user name and password.", o.realm, metrics);
    // The handset keys the credentials it stores by the argument's folder, so it names the page.
    page.command = {30000, "Basic," + o.realm, o.url};
  } else if (isHtml(o.contentType) || o.contentType.compare(0, 5, "text/") == 0 ||
             o.contentType.compare(0, 6, "image/") == 0) {
    std::string html;
    if (isHtml(o.contentType))
      html = o.body;
    else if (o.contentType.compare(0, 6, "image/") == 0)
      html = "<html><body><img src=\"" + escapeHtml(o.url) + "\"></body></html>";
    else
      html = "<html><body><pre>" + escapeHtml(o.body) + "</pre></body></html>";
    FetcherResourceLoader resources(fetcher_, o.url, request.cookieHeader, o.cookies, deadline);
    try {
      page = layout(html, o.url, metrics, resources);
    } catch (const std::exception& e) {
      page = errorPage(o.url, "The page could not be laid out.", e.what(), metrics);
    }
    if (isHtml(o.contentType)) forms_.remember(user, FormMethods::scan(o.body, o.url));
    if (stats) stats->resourceBytes = resources.bytesReceived();
  } else {
    // Nothing the handset can show: offer it as a download.
    page = errorPage(o.url, "This address is a file (" + o.contentType + ") to download.", std::string(),
                     metrics);
    page.command = {32000, fileNameOf(o.url), o.url};
  }
  page.cookies = o.cookies;
  for (Cookie& c : page.cookies) c.group = 0;
  return page;
}

}  // namespace vesk
