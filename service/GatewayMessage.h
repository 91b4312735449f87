#pragma once

#include <string>

namespace vesk {

// One POST to the gateway, independent of the HTTP library.
struct GatewayRequest {
  std::string contentType;
  std::string body;
};

struct GatewayReply {
  int status = 200;
  std::string contentType = "application/octet-stream";
  std::string body;

  static GatewayReply error(int status, const std::string& text) {
    GatewayReply r;
    r.status = status;
    r.contentType = "text/plain";
    r.body = text + "\n";
    return r;
  }
};

}  // namespace vesk
