#include "vwt/platform/Sockets.h"

#include <arpa/inet.h>
#include <errno.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace vwt {
namespace platform {

namespace {

const unsigned int WSA_NOT_SOCKET = 10038;
const unsigned int WSA_INVALID_ARGUMENT = 10022;

int connectTo(int handle, const sockaddr_in& address) {
  int r;
  do {
    r = ::connect(handle, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  } while (r != 0 && errno == EINTR);
  return r;
}

void tuneConnected(int handle) {
  // The request leaves as header and body in two sends; Nagle would hold
  // the body back for a round trip.
  int one = 1;
  setsockopt(handle, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

}  // namespace

unsigned int createStreamSocket(int* handle) {
  int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (s < 0) {
    *handle = NO_SOCKET;
    return socketErrorCode(errno);
  }
  *handle = s;
  return 0;
}

unsigned int connectStreamSocket(int* handle, const char* host, int port) {
  if (*handle < 0) return WSA_NOT_SOCKET;
  if (port < 0 || port > 65535) return WSA_INVALID_ARGUMENT;
  sockaddr_in address;
  memset(&address, 0, sizeof address);
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));

  if (inet_pton(AF_INET, host, &address.sin_addr) == 1) {
    if (connectTo(*handle, address) == 0) {
      tuneConnected(*handle);
      return 0;
    }
    return socketErrorCode(errno);
  }

  addrinfo hints;
  memset(&hints, 0, sizeof hints);
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  int lookup = getaddrinfo(host, nullptr, &hints, &found);
  if (lookup != 0) return lookup == EAI_SYSTEM ? socketErrorCode(errno) : lookupErrorCode(lookup);
  unsigned int code = lookupErrorCode(EAI_NONAME);
  bool first = true;
  for (addrinfo* a = found; a; a = a->ai_next) {
    if (a->ai_family != AF_INET || a->ai_addrlen < sizeof(sockaddr_in)) continue;
    // A socket whose connect failed is in no defined state: take a new one.
    if (!first) {
      int fresh;
      code = createStreamSocket(&fresh);
      if (code != 0) break;
      ::close(*handle);
      *handle = fresh;
    }
    first = false;
    address.sin_addr = reinterpret_cast<const sockaddr_in*>(a->ai_addr)->sin_addr;
    if (connectTo(*handle, address) == 0) {
      tuneConnected(*handle);
      freeaddrinfo(found);
      return 0;
    }
    code = socketErrorCode(errno);
  }
  freeaddrinfo(found);
  return code;
}

int sendSome(int handle, const char* buf, int len, unsigned int* error) {
  if (handle < 0) {
    *error = WSA_NOT_SOCKET;
    return -1;
  }
  ssize_t n;
  do {
    n = ::send(handle, buf, static_cast<size_t>(len), MSG_NOSIGNAL);
  } while (n < 0 && errno == EINTR);
  if (n < 0) {
    *error = socketErrorCode(errno);
    return -1;
  }
  return static_cast<int>(n);
}

int receiveSome(int handle, char* buf, int len, unsigned int* error) {
  if (handle < 0) {
    *error = WSA_NOT_SOCKET;
    return -1;
  }
  ssize_t n;
  do {
    n = ::recv(handle, buf, static_cast<size_t>(len), 0);
  } while (n < 0 && errno == EINTR);
  if (n < 0) {
    *error = socketErrorCode(errno);
    return -1;
  }
  return static_cast<int>(n);
}

int waitReadable(int handle, int timeoutMs, unsigned int* error) {
  if (handle < 0) {
    *error = WSA_NOT_SOCKET;
    return -1;
  }
  pollfd p = {handle, POLLIN, 0};
  int r;
  do {
    r = ::poll(&p, 1, timeoutMs < 0 ? 0 : timeoutMs);
  } while (r < 0 && errno == EINTR);
  if (r < 0) {
    *error = socketErrorCode(errno);
    return -1;
  }
  // A hang-up or an error is readable too: the receive reports it.
  return r > 0 ? 1 : 0;
}

int readableBytes(int handle, unsigned int* error) {
  int count = 0;
  if (handle < 0 || ioctl(handle, FIONREAD, &count) != 0) {
    *error = handle < 0 ? WSA_NOT_SOCKET : socketErrorCode(errno);
    return -1;
  }
  return count;
}

void flushSocket(int handle) {
  if (handle < 0) return;
  // Switching Nagle off pushes out anything still held back.
  int one = 1;
  setsockopt(handle, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

void shutdownSocket(int handle) {
  if (handle >= 0) ::shutdown(handle, SHUT_RDWR);
}

void closeSocket(int handle) {
  if (handle >= 0) ::close(handle);
}

unsigned int socketErrorCode(int e) {
  switch (e) {
    case 0:
      return 0;
    case EINTR:
      return 10004;
    case EBADF:
      return 10009;
    case EACCES:
      return 10013;
    case EPERM:
      return 10013;
    case EFAULT:
      return 10014;
    case EINVAL:
      return 10022;
    case EMFILE:
      return 10024;
    case ENFILE:
      return 10024;
    case EAGAIN:
      return 10035;
    case EINPROGRESS:
      return 10036;
    case EALREADY:
      return 10037;
    case ENOTSOCK:
      return 10038;
    case EDESTADDRREQ:
      return 10039;
    case EMSGSIZE:
      return 10040;
    case EPROTOTYPE:
      return 10041;
    case ENOPROTOOPT:
      return 10042;
    case EPROTONOSUPPORT:
      return 10043;
    case ESOCKTNOSUPPORT:
      return 10044;
    case EOPNOTSUPP:
      return 10045;
    case EPFNOSUPPORT:
      return 10046;
    case EAFNOSUPPORT:
      return 10047;
    case EADDRINUSE:
      return 10048;
    case EADDRNOTAVAIL:
      return 10049;
    case ENETDOWN:
      return 10050;
    case ENETUNREACH:
      return 10051;
    case ENETRESET:
      return 10052;
    case ECONNABORTED:
      return 10053;
    case ECONNRESET:
      return 10054;
    case EPIPE:
      return 10058;
    case ENOBUFS:
      return 10055;
    case ENOMEM:
      return 10055;
    case EISCONN:
      return 10056;
    case ENOTCONN:
      return 10057;
    case ESHUTDOWN:
      return 10058;
    case ETOOMANYREFS:
      return 10059;
    case ETIMEDOUT:
      return 10060;
    case ECONNREFUSED:
      return 10061;
    case ELOOP:
      return 10062;
    case ENAMETOOLONG:
      return 10063;
    case EHOSTDOWN:
      return 10064;
    case EHOSTUNREACH:
      return 10065;
    case ENOTEMPTY:
      return 10066;
    case EUSERS:
      return 10068;
    case EDQUOT:
      return 10069;
    case ESTALE:
      return 10070;
    case EREMOTE:
      return 10071;
    default:
      return 10022;
  }
}

unsigned int lookupErrorCode(int r) {
  switch (r) {
    case 0:
      return 0;
    case EAI_AGAIN:
      return 11002;
    case EAI_FAIL:
      return 11003;
    case EAI_NODATA:
      return 11004;
    case EAI_ADDRFAMILY:
      return 11004;
    case EAI_MEMORY:
      return 10055;
    case EAI_NONAME:
    default:
      return 11001;
  }
}

}  // namespace platform
}  // namespace vwt
