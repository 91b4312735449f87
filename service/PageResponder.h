#pragma once

#include <memory>
#include <string>

#include "service/GatewayMessage.h"
#include "service/SessionRegistry.h"

namespace vesk {

class QueryString;
class ServiceState;
struct Page;

// Answers the decrypted "c=H", "c=I" and "c=F" requests of one session.
class PageResponder {
 public:
  static constexpr int32_t MAGIC = 0x66DECDEC;

  explicit PageResponder(ServiceState& state) : state_(state) {}

  GatewayReply page(const Session& session, const QueryString& query);
  GatewayReply imageBlock(const Session& session, const QueryString& query);
  GatewayReply files(const Session& session, const QueryString& query);

 private:
  std::shared_ptr<const Page> resolve(const std::string& url, const Session& session,
                                      const QueryString& query);
  // Whether the fixture folder answers for url: for any host when the service does not fetch
  // from the network, else for the portal's own host only.
  bool fixturesAnswer(const std::string& url) const;
  GatewayReply sealed(const Session& session, const std::string& afterMagic, int32_t magic = MAGIC) const;

  ServiceState& state_;
};

}  // namespace vesk
