#pragma once

#include <memory>
#include <thread>

#include "service/ControlEndpoint.h"
#include "service/Gateway.h"
#include "service/ServiceConfig.h"
#include "service/ServiceState.h"

namespace vesk {

class ConnectionServer;

// The HTTP end: the gateway at POST /br/wm (optionally ";jsessionid=..."), and the control
// endpoint at /control/<action>. Runs its listener on a thread of its own; each connection carries
// one request, read against a deadline, and is closed after its answer.
class RenderService {
 public:
  explicit RenderService(const ServiceConfig& config);
  ~RenderService();
  RenderService(const RenderService&) = delete;
  RenderService& operator=(const RenderService&) = delete;

  // Binds (port 0 picks a free one), writes the port file, starts listening; returns the
  // port. Throws std::runtime_error when the address cannot be bound.
  int start();
  void stop();

  ServiceState& state() { return state_; }

 private:
  ServiceState state_;
  Gateway gateway_;
  ControlEndpoint control_;
  std::unique_ptr<ConnectionServer> server_;
  std::thread thread_;
};

}  // namespace vesk
