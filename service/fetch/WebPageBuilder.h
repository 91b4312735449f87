#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "service/PageModel.h"
#include "service/fetch/FetchModel.h"
#include "service/fetch/FormMethods.h"
#include "service/fetch/WebFetcher.h"
#include "service/html/HtmlEngine.h"

namespace vesk {

class QueryString;

// A page from the web for one page query: the query's form data, cookies, credentials and
// referrer go to the fetcher; the document is laid out by the HTML engine at the handset's metrics
// with the page's resources; the answer's cookies, a Basic challenge (status 30000) or a file to
// download (status 32000) travel with the page. A fetch that fails gives a short page that says why.
class WebPageBuilder {
 public:
  using EngineFactory = std::function<std::unique_ptr<HtmlEngine>()>;

  // What the page cost to make, for the benchmarks.
  struct Stats {
    size_t documentBytes = 0;  // the document as received
    size_t resourceBytes = 0;  // its style sheets, pictures and frames
  };

  WebPageBuilder(const WebFetcher& fetcher, FormMethods& forms, EngineFactory engines = makeLiteHtmlEngine);

  Page build(const std::string& url, const QueryString& query, int32_t user, const ClientMetrics& metrics,
             Stats* stats = nullptr) const;

  // The handset's layout width and font metrics from the query (wd, fa, fb, fh, fw, cw); the
  // defaults for values that are missing or out of range.
  static ClientMetrics metricsFrom(const QueryString& query, int32_t imageMemoryLimit);
  // The page that says why url could not be shown.
  Page errorPage(const std::string& url, const std::string& reason, const std::string& detail,
                 const ClientMetrics& metrics) const;

 private:
  Page layout(const std::string& html, const std::string& url, const ClientMetrics& metrics,
              ResourceLoader& resources) const;

  const WebFetcher& fetcher_;
  FormMethods& forms_;
  EngineFactory engines_;
};

}  // namespace vesk
