#include "service/html/HtmlEngine.h"

namespace vesk {

namespace {

// Placeholder until the litehtml layout lands: an empty page of the client's width.
class LiteHtmlEngine : public HtmlEngine {
 public:
  Page layout(const std::string&, const std::string& url, const ClientMetrics& metrics,
              ResourceLoader&) override {
    Page page;
    page.url = url;
    page.width = metrics.width;
    page.imageMemoryLimit = metrics.imageMemoryLimit;
    return page;
  }
};

}  // namespace

std::unique_ptr<HtmlEngine> makeLiteHtmlEngine() { return std::make_unique<LiteHtmlEngine>(); }

}  // namespace vesk
