#pragma once
// TCP client sockets of the host system. Every failure is reported as a
// Windows Sockets error code (10061 for a refused connection, 11001 for an
// unknown host, ...), which the toolkit's socket-error table knows.

namespace vwt {
namespace platform {

// An invalid socket handle.
const int NO_SOCKET = -1;

// A new IPv4 stream socket in *handle; 0 or the error code.
unsigned int createStreamSocket(int* handle);

// Connects *handle to host:port. A dotted IPv4 host is used directly; a name
// is looked up and each of its addresses tried in turn (a fresh socket
// replaces *handle for every further try). 0 or the code of the lookup or of
// the last failed attempt.
unsigned int connectStreamSocket(int* handle, const char* host, int port);

// Sends up to len bytes once; the count sent, or -1 with *error set.
int sendSome(int handle, const char* buf, int len, unsigned int* error);

// One receive of up to len bytes; the count, 0 when the peer has closed, or
// -1 with *error set.
int receiveSome(int handle, char* buf, int len, unsigned int* error);

// Waits up to timeoutMs for data or the peer's close: 1 when a receive will
// not block, 0 when the time ran out, -1 with *error set.
int waitReadable(int handle, int timeoutMs, unsigned int* error);
// Bytes readable without blocking, or -1 with *error set.
int readableBytes(int handle, unsigned int* error);

// Pushes out what the system still holds back; failures are ignored.
void flushSocket(int handle);

// Stops both directions, waking a thread blocked in a receive.
void shutdownSocket(int handle);
void closeSocket(int handle);

// The Windows Sockets code of an errno value, and of a host lookup result.
unsigned int socketErrorCode(int errnoValue);
unsigned int lookupErrorCode(int lookupResult);

}  // namespace platform
}  // namespace vwt
