#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "service/PageModel.h"

namespace vesk {

class ServedPage;

// The header values of a page response, before the page description.
struct EnvelopeHead {
  static constexpr int32_t SERVICE_VERSION = 5208;
  int32_t serviceVersion = SERVICE_VERSION;
  Command command;
  std::vector<std::string> bookmarks;  // travels with status 31000 (titles and entries alternating)
  int32_t userId = 0;
  int32_t serverValue1 = 0;
  int32_t serverValue2 = 0;
  int32_t bookmarkVersion = 0;
  std::string sessionId;
};

// Writes the uncompressed page envelope: header, command, account values, session id,
// page description, image table and counters, file count, cookie groups.
class EnvelopeWriter {
 public:
  struct Options {
    int32_t pageId = 0;
    std::string url;
    int32_t imageMemoryLimit = 0;
    bool withFileCount = true;  // the handset leaves it out of its reading with "fl=0"
  };
  static std::string write(const EnvelopeHead& head, const Page& page, const ServedPage& served,
                           const Options& options);
};

}  // namespace vesk
