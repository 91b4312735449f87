// Lays arbitrary bytes out as a page with the service's HTML engine. The first bytes choose the
// client's width and metrics; pictures are a small PNG and frames the input itself. Any page is a
// clean answer; a crash, overrun, leak or hang is a finding.
#include <cstddef>
#include <cstdint>
#include <string>

#include "service/html/HtmlEngine.h"
#include "service/html/PictureCodec.h"

namespace {

class FuzzLoader : public vesk::ResourceLoader {
 public:
  explicit FuzzLoader(const std::string& html) : html_(html) {
    vesk::PictureCodec::Pixels px;
    px.width = 12;
    px.height = 9;
    px.rgba.assign(12 * 9 * 4, 200);
    picture_ = vesk::PictureCodec::encodePng(px);
  }
  vesk::FetchedResource load(const std::string& url, size_t maxBytes) override {
    vesk::FetchedResource r;
    r.url = url;
    r.status = 200;
    bool picture = url.find(".png") != std::string::npos || url.find(".gif") != std::string::npos;
    r.body = (picture ? picture_ : html_).substr(0, maxBytes);
    r.contentType = picture ? "image/png" : "text/html";
    return r;
  }

 private:
  std::string html_, picture_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4 || size > (256 << 10)) return 0;
  vesk::ClientMetrics metrics;
  metrics.width = 16 + data[0] * 4;
  metrics.ascent = 1 + data[1] % 30;
  metrics.descent = data[2] % 10;
  metrics.imageMemoryLimit = 1 + data[3] * 4096;
  std::string html(reinterpret_cast<const char*>(data) + 4, size - 4);
  FuzzLoader loader(html);
  static auto engine = vesk::makeLiteHtmlEngine();
  vesk::Page page = engine->layout(html, "http://fuzz.test/dir/page.html", metrics, loader);
  (void)page;
  return 0;
}
