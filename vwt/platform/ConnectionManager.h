#pragma once

#include <string>

namespace vwt {
namespace platform {

// The handset's connection manager, stood in for on a desktop: every
// address maps to the one Internet network, and a requested connection
// reports at once the status it was set up with (16, connected, normally).
struct ConnectionRequest;

// The general failure code of the platform.
const unsigned long CONNECTION_FAILURE = 0x80004005UL;

// false for an empty path: nothing to map.
bool mapConnectionDestination(const std::u16string& path, unsigned char network[16]);
// A request for a connection to network, answering with status. Null when
// refused. probeOnly asks without connecting.
ConnectionRequest* requestConnection(const unsigned char network[16], bool proxy, bool probeOnly,
                                     unsigned long status);
unsigned long connectionStatus(const ConnectionRequest* request);
// The HTTP proxy the network asks for; false when it needs none.
bool connectionHttpProxy(const ConnectionRequest* request, std::u16string* server);
void releaseConnection(ConnectionRequest* request, bool cache);

}  // namespace platform
}  // namespace vwt
