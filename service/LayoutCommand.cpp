#include "service/LayoutCommand.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "service/PageDump.h"
#include "service/html/FolderLoader.h"
#include "service/html/HtmlEngine.h"

namespace vesk {

int LayoutCommand::run(const std::vector<std::string>& args) {
  std::string file, base;
  ClientMetrics metrics;
  metrics.width = 240;
  for (size_t i = 0; i + 1 < args.size(); i += 2) {
    if (args[i] == "--layout") {
      file = args[i + 1];
    } else if (args[i] == "--width") {
      metrics.width = std::atoi(args[i + 1].c_str());
    } else if (args[i] == "--base") {
      base = args[i + 1];
    } else {
      std::fprintf(stderr, "veskRenderService: unknown option %s\n", args[i].c_str());
      return 2;
    }
  }
  if (file.empty() || args.size() % 2 != 0 || metrics.width <= 0) {
    std::fputs("usage: veskRenderService --layout FILE.html [--width N] [--base URL]\n", stderr);
    return 2;
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "veskRenderService: cannot read %s\n", file.c_str());
    return 1;
  }
  std::string html((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  size_t slash = file.rfind('/');
  std::string folder = slash == std::string::npos ? "." : file.substr(0, slash);
  std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
  if (base.empty()) base = "http://localhost/" + name;
  FolderLoader loader(folder, base.substr(0, base.rfind('/') + 1));
  Page page = makeLiteHtmlEngine()->layout(FolderLoader::toUtf8(html), base, metrics, loader);
  std::fputs(PageDump::dump(page).c_str(), stdout);
  return 0;
}

}  // namespace vesk
