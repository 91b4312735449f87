#pragma once

#include "browser/page/Page.h"
#include "browser/service/ResponseHost.h"

class InputStream;

// Decodes the compressed envelope of a service response: version notice,
// status command, account values and session id, the page description,
// the image table and counters, the file count and the cookie groups.
class PageResponseDecoder {
 public:
  static constexpr int SERVICE_VERSION = 5208;
  static constexpr int MAX_IMAGES = 65536;
  static constexpr int MAX_COOKIE_GROUPS = 4096;
  static constexpr int MAX_BOOKMARKS = 65536;

  explicit PageResponseDecoder(ResponseHost* host) : host_(host) {}

  // Reads the zlib stream from in (not owned; closed at the end) into
  // page. 1: a page was decoded; 0: a command ended the response or the
  // load was cancelled. Damaged data throws.
  int decodePageResponse(Page* page, InputStream* in, bool fullLoad);

 private:
  ResponseHost* host_;
};
