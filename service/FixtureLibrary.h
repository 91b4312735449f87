#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "service/PageModel.h"

namespace vesk {

// The folder of fixture pages. "http://<any host>/<path>" is served from "<path>.page"
// ("<path>index.page" when the path ends with '/'). Parsed pages are cached until the file
// changes.
class FixtureLibrary {
 public:
  explicit FixtureLibrary(std::string folder);  // empty: no fixtures

  // The fixture for a page address; nothing when there is none. Throws ProtocolError when
  // the fixture exists but is malformed.
  std::shared_ptr<const Page> find(const std::string& url) const;
  // Relative paths ("news/today") of the fixtures, sorted, at most limit.
  std::vector<std::string> list(size_t limit) const;

  // The path part of an address, without query, fragment or leading '/'; nothing when it
  // could leave the folder.
  static std::optional<std::string> fixturePath(const std::string& url);

 private:
  struct Cached {
    long long mtime = 0;
    long long size = 0;
    std::shared_ptr<const Page> page;
  };

  std::string folder_;
  mutable std::mutex mutex_;
  mutable std::map<std::string, Cached> cache_;
};

}  // namespace vesk
