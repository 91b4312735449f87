#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "service/PageModel.h"

namespace vesk {

struct ClientMetrics {
  int width = 236;         // layout width in pixels, from the query
  int ascent = 11;         // fa
  int descent = 3;         // fb
  int lineHeight = 14;     // fh
  int wideWidth = 12;      // fw, the width of a CJK ideograph
  std::string widthTable;  // cw, 851 characters; empty: the default table of the same form
  int32_t imageMemoryLimit = 4194304;
};

struct FetchedResource {
  int status = 0;           // HTTP status; 0 when the fetch failed
  std::string url;          // after redirects
  std::string contentType;  // lower case, without parameters
  std::string body;         // text bodies converted to UTF-8
  std::string error;        // what failed, for the error page
};

// Style sheets, pictures and frame documents a page refers to; absolute URLs.
class ResourceLoader {
 public:
  virtual ~ResourceLoader() = default;
  virtual FetchedResource load(const std::string& absoluteUrl, size_t maxBytes) = 0;
};

// Lays out one document (UTF-8) at the client's metrics into the page description the handset reads.
// Engine-neutral: a second engine (a headless browser) may come behind the same interface.
class HtmlEngine {
 public:
  virtual ~HtmlEngine() = default;
  virtual Page layout(const std::string& html, const std::string& url, const ClientMetrics& metrics,
                      ResourceLoader& resources) = 0;
};

std::unique_ptr<HtmlEngine> makeLiteHtmlEngine();

}  // namespace vesk
