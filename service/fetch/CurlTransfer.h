#pragma once

#include "service/fetch/FetchModel.h"

namespace vesk {

// One HTTP or HTTPS exchange over libcurl: no redirects followed, the system's trust store,
// connect and total time-outs, and the byte limit enforced while the body arrives.
class CurlTransfer {
 public:
  // libcurl's process-wide set-up; safe to call from any thread, any number of times.
  static void initialize();
  static HopResponse perform(const HopRequest& request);
  static const char* USER_AGENT;
};

}  // namespace vesk
