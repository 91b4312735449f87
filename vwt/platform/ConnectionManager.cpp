#include "vwt/platform/ConnectionManager.h"

#include <cstring>

namespace vwt {
namespace platform {

namespace {
const unsigned char INTERNET_NETWORK[16] = {0x43, 0x6d, 0x4e, 0x65, 0x74, 0x2d, 0x49, 0x6e,
                                            0x74, 0x65, 0x72, 0x6e, 0x65, 0x74, 0x00, 0x01};
}

struct ConnectionRequest {
  unsigned char network[16];
  bool proxy;
  unsigned long status;
};

bool mapConnectionDestination(const std::u16string& path, unsigned char network[16]) {
  if (path.empty()) return false;
  std::memcpy(network, INTERNET_NETWORK, 16);
  return true;
}

ConnectionRequest* requestConnection(const unsigned char network[16], bool proxy, bool probeOnly,
                                     unsigned long status) {
  if (std::memcmp(network, INTERNET_NETWORK, 16) != 0) return nullptr;
  ConnectionRequest* r = new ConnectionRequest;
  std::memcpy(r->network, network, 16);
  r->proxy = proxy;
  (void)probeOnly;  // the stand-in answers a probe as it answers a request
  r->status = status;
  return r;
}

unsigned long connectionStatus(const ConnectionRequest* request) { return request->status; }

bool connectionHttpProxy(const ConnectionRequest*, std::u16string*) { return false; }

void releaseConnection(ConnectionRequest* request, bool) { delete request; }

}  // namespace platform
}  // namespace vwt
