#pragma once

#include "vwt/lang/String.h"

class SessionCore;

// The request URLs of the service: the gateway endpoint, the session part
// and the query of each command ("c=H" page, "c=I" image block, "c=F"
// files, "c=R" public key). The transport sends the query as the body.
class QueryBuilder {
 public:
  static const int CLIENT_VERSION = 5208;

  struct PageRequest {
    String url, origin, baseUrl, postData, charset;
    int options = 0;
    int uploadId = 0;  // 0: no upload took place
  };

  explicit QueryBuilder(SessionCore* core) : core_(core) {}

  // The page request; it updates the access counter and may clear the
  // removed-bookmark flag, both stored.
  String buildPageQuery(const PageRequest& request);
  String buildImageQuery(int blockIndex, int pageId, int pageNo);
  String buildFileQuery(int pageId, int pageNo);
  String buildKeyQuery();
  // The endpoint with the session part: upload and resend URLs.
  String sessionUrl();

  // The text after the first comma of "user-agent" + index; empty when none.
  static String userAgentText(int index);
  // Increments and stores the access count of the day; returns it.
  int nextAccessCount();

 private:
  SessionCore* core_;  // not owned
};
