#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vesk {

// The handset's user-data package (bookmarks, flag word, keys, settings, home URL), which it
// uploads wrapped as the comment extension of a GIF picture.
class UserDataPackage {
 public:
  static constexpr int32_t MAGIC = 1505;
  static constexpr size_t PICTURE_HEAD_BYTES = 566;  // bytes of the logo picture before the comment

  // Takes the package out of the picture; throws ProtocolError when it is not there.
  static std::string unwrap(const std::string& picture);
  // Parses a package; throws ProtocolError on a bad magic or a section that overruns.
  static UserDataPackage parse(const std::string& package);
  // The inverse of unwrap() around any picture head (for tests and tools).
  static std::string wrap(const std::string& pictureHead, const std::string& package);

  bool hasBookmarks = false;
  std::vector<std::string> bookmarks;  // title and entry alternating
  std::optional<int32_t> flagWord;
  std::optional<std::string> homeUrl;
};

}  // namespace vesk
