#pragma once

#include <map>
#include <string>

#include "service/GatewayMessage.h"

namespace vesk {

class ServiceState;

// Test control: scripted answers for the next page requests, an authentication challenge,
// key rotation, and read-outs of the request log, uploads and bookmark lists.
// Answers only callers on the loopback interface.
class ControlEndpoint {
 public:
  explicit ControlEndpoint(ServiceState& state) : state_(state) {}

  GatewayReply handle(const std::string& action, const std::map<std::string, std::string>& params,
                      const std::string& remoteAddress);

  static bool isLoopback(const std::string& address);

 private:
  GatewayReply next(const std::map<std::string, std::string>& p);

  ServiceState& state_;
};

}  // namespace vesk
