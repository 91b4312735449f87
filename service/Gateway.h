#pragma once

#include <cstdint>

#include "service/GatewayMessage.h"
#include "service/PageResponder.h"

namespace vesk {

class ServiceState;

// The rendering gateway: one POST in, one answer out, dispatched on the Content-Type.
// Every malformed request gets a clean error answer; nothing from the network is trusted.
class Gateway {
 public:
  explicit Gateway(ServiceState& state) : state_(state), pages_(state) {}

  GatewayReply handle(const GatewayRequest& request);

 private:
  GatewayReply publicKey(const std::string& body);
  GatewayReply keyExchange(const std::string& body);
  GatewayReply encrypted(const std::string& userText, const std::string& body);
  GatewayReply upload(const std::string& userText, const std::string& body, bool favorite);
  GatewayReply rejected(int status, const std::string& why);
  void keepBookmarks(int32_t user, const std::string& picture);

  ServiceState& state_;
  PageResponder pages_;
};

}  // namespace vesk
