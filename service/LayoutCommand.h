#pragma once

#include <string>
#include <vector>

namespace vesk {

// "veskRenderService --layout FILE.html [--width N] [--base URL]": lays a saved page out at a client
// width and prints the page description's dump. Pictures, style sheets and frames come from the
// page's folder.
class LayoutCommand {
 public:
  static bool wanted(const std::vector<std::string>& args) { return !args.empty() && args[0] == "--layout"; }
  static int run(const std::vector<std::string>& args);
};

}  // namespace vesk
