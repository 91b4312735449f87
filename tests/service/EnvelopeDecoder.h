#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vesktest {

struct DecodedItem {
  int type = 0;
  int32_t x = 0, y = 0, w = 0, h = 0, color = 0, color2 = 0;
  std::string text, name, extra;
  int32_t image = 0, param1 = 0, param2 = 0, value1 = 0, value2 = 0, flags = 0, m = 0, e = 0;
  std::vector<std::string> labels, values;
  std::vector<bool> selected;
  std::vector<int32_t> refs;
  int32_t border[4][3] = {};  // colour, width, style of the sides present
};

struct DecodedCookie {
  std::string domain, path, name, value;
  int32_t lifetime = 0, flags = 0;
};

struct DecodedEnvelope {
  int32_t version = 0, status = 0;
  std::string message, argument;
  std::vector<std::string> bookmarks;
  int32_t userId = 0, value1 = 0, value2 = 0, bookmarkVersion = 0;
  std::string sessionId;
  int32_t pageId = 0, pageNo = 0, pageFlags = 0;
  std::string url, title;
  int32_t background = 0, width = 0, height = 0;
  std::vector<DecodedItem> items, structure;
  std::vector<std::pair<std::string, int32_t>> frames;
  std::vector<int32_t> imageSizes;
  int32_t imageTotal = 0, blockCount = 0, memoryLimit = 0, fileCount = -1;
  std::vector<std::vector<DecodedCookie>> cookieGroups;
  size_t trailingBytes = 0;
};

// Reads an inflated page envelope the way the handset does (its record tables written out
// again here, independently of the service's writer).
DecodedEnvelope decodeEnvelope(const std::string& inflated, bool withFileCount = true);

}  // namespace vesktest
