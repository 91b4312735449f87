#pragma once
// TLS client sessions through OpenSSL (the only place that knows it).

#include <string>

namespace vwt {
namespace platform {

// One TLS client session over a connected socket, used by the thread that owns the socket. The
// bytes on the wire go through a Transport the owner gives, so that its read limits and its close
// from another thread act on TLS reads as they do on plain ones.
//
// The sessions share one OpenSSL context per process, made at the first handshake with the system's
// trust store (OpenSSL's default paths: SSL_CERT_FILE and SSL_CERT_DIR as they are at that time).
// It is made again only when one of those two variables has changed since, so that a program that
// points them elsewhere later is not left with the old store.
class TlsChannel {
 public:
  // The raw byte path under the channel.
  class Transport {
   public:
    virtual ~Transport() = default;
    // One receive of up to len bytes: the count, 0 when the peer has closed, or -1 with *error set.
    // After TIMED_OUT the session stays usable: a later read carries on where this one stopped.
    virtual int receive(char* buf, int len, unsigned int* error) = 0;
    // One send: the count sent, or -1 with *error set.
    virtual int send(const char* buf, int len, unsigned int* error) = 0;
  };

  enum Outcome { OK = 0, HANDSHAKE_FAILED = 1, NOT_TRUSTED = 2 };
  // The OpenSSL state, known to the .cpp only.
  struct Session;

  // The transport is owned by the channel.
  explicit TlsChannel(Transport* transport);
  TlsChannel(const TlsChannel&) = delete;
  TlsChannel& operator=(const TlsChannel&) = delete;
  ~TlsChannel();

  // The handshake with host (an ASCII name, or an IPv4 or IPv6 address text), TLS 1.2 at least,
  // the server name sent for a name. The certificate chain must lead to a trusted authority and the
  // certificate must be for host. On failure *reason is OpenSSL's short text of why ("" when it
  // gives none) and *error the transport's error code when the transport failed (0 otherwise).
  Outcome handshake(const char* host, std::string* reason, unsigned int* error);

  // Up to len decrypted bytes: the count, 0 at the end of the stream, or -1 with *error set (the
  // transport's code, or CONNECTION_ABORTED when the TLS records themselves are bad).
  int read(char* buf, int len, unsigned int* error);
  // Sends len bytes as one or more records: len, or -1 with *error set.
  int write(const char* buf, int len, unsigned int* error);
  // Decrypted bytes that a read returns without touching the transport.
  int pending() const;

  // Windows Sockets codes: a session broken by bad TLS data, and a receive over the read limits.
  static const unsigned int CONNECTION_ABORTED = 10053;
  static const unsigned int TIMED_OUT = 10060;

 private:
  Session* session_;  // owned
};

}  // namespace platform
}  // namespace vwt
