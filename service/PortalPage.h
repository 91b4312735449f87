#pragma once

#include <string>
#include <vector>

#include "service/PageModel.h"

namespace vesk {

// The built-in pages: the portal start page (a link to every local site and every fixture page)
// and the short pages the service answers with when a page cannot be served.
class PortalPage {
 public:
  static constexpr const char* PATH = "/portal/indexQK.jsp";

  // sites: the host names of the local site folders, each linked by its front page.
  static Page start(const std::string& host, const std::vector<std::string>& fixtures,
                    const std::vector<std::string>& sites = {});
  static Page notice(const std::string& title, const std::string& text);
};

}  // namespace vesk
