#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "service/PageDump.h"
#include "service/html/FolderLoader.h"
#include "service/html/HtmlEngine.h"

namespace vesktest {

namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

const char* const PAGES[] = {"index",    "article", "form", "frames",       "imagemap",
                             "japanese", "cookies", "long", "private/index"};

}  // namespace

// The demonstration pages laid out at two handset widths, compared with their golden dumps.
// VESK_WRITE_GOLDEN=1 rewrites the golden files instead.
TEST(DemoSiteTest, PagesMatchTheirGoldenDumps) {
  const std::string site = VESK_DEMO_SITE;
  const std::string golden = VESK_GOLDEN_DIR;
  const bool write = std::getenv("VESK_WRITE_GOLDEN") && std::string(std::getenv("VESK_WRITE_GOLDEN")) == "1";
  auto engine = vesk::makeLiteHtmlEngine();
  for (const char* page : PAGES) {
    for (int width : {240, 480}) {
      vesk::FolderLoader loader(site, "http://demo.test/");
      std::string url = std::string("http://demo.test/") + page + ".html";
      vesk::FetchedResource html = loader.load(url, 1 << 20);
      ASSERT_EQ(html.status, 200) << url;
      vesk::ClientMetrics metrics;
      metrics.width = width;
      std::string dump = vesk::PageDump::dump(engine->layout(html.body, url, metrics, loader));
      std::string name = std::string(page) + "-" + std::to_string(width) + ".txt";
      for (char& c : name) c = c == '/' ? '-' : c;
      if (write) {
        std::ofstream(golden + "/" + name, std::ios::binary) << dump;
        continue;
      }
      EXPECT_EQ(dump, readFile(golden + "/" + name)) << name << " differs; VESK_WRITE_GOLDEN=1 rewrites it";
    }
  }
}

}  // namespace vesktest
