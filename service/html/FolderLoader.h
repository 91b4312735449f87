#pragma once

#include <string>

#include "service/html/HtmlEngine.h"

namespace vesk {

// Resources from a local folder: an address under the given prefix names the file at the same path
// under the folder. For laying out saved pages without a network (the layout dump, tests).
class FolderLoader : public ResourceLoader {
 public:
  FolderLoader(const std::string& folder, const std::string& urlPrefix);

  FetchedResource load(const std::string& absoluteUrl, size_t maxBytes) override;
  // A page's text as UTF-8: Shift_JIS and EUC-JP pages (by their meta charset) are converted.
  static std::string toUtf8(const std::string& html);

 private:
  std::string folder_, prefix_;
};

}  // namespace vesk
