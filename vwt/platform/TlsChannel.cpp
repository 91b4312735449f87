#include "vwt/platform/TlsChannel.h"

#include <arpa/inet.h>
#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <cstdlib>
#include <cstring>
#include <mutex>

namespace vwt {
namespace platform {

struct TlsChannel::Session {
  Transport* transport;  // owned
  SSL* ssl;              // owned; owns the BIO
  // What the transport reported last, for the caller once OpenSSL gives up.
  unsigned int transportError;
};

namespace {

// The variables that choose the trust store, as they were when the shared context was made.
struct SharedContext {
  std::mutex lock;
  SSL_CTX* context = nullptr;
  std::string certFile;
  std::string certDir;
  bool made = false;
};

SharedContext& sharedContext() {
  static SharedContext shared;
  return shared;
}

std::string variable(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

SSL_CTX* makeContext() {
  SSL_CTX* context = SSL_CTX_new(TLS_client_method());
  if (!context) return nullptr;
  SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION);
  SSL_CTX_set_verify(context, SSL_VERIFY_PEER, nullptr);
  SSL_CTX_set_default_verify_paths(context);
  // A record's header and body come in one receive instead of two.
  SSL_CTX_set_read_ahead(context, 1);
#ifdef SSL_OP_IGNORE_UNEXPECTED_EOF
  // A response without a length ends when the server closes, and many servers close without the
  // TLS goodbye: that end is the end of the body, as it is on a plain connection.
  SSL_CTX_set_options(context, SSL_OP_IGNORE_UNEXPECTED_EOF);
#endif
  return context;
}

// A new session on the shared context, which is made (again) when the trust store variables differ
// from those it was made with.
SSL* newSession() {
  SharedContext& shared = sharedContext();
  std::lock_guard<std::mutex> held(shared.lock);
  std::string certFile = variable("SSL_CERT_FILE");
  std::string certDir = variable("SSL_CERT_DIR");
  if (!shared.made || certFile != shared.certFile || certDir != shared.certDir) {
    SSL_CTX* context = makeContext();
    if (!context) return nullptr;
    // Sessions hold their own reference: the old context lives on while they do.
    if (shared.context) SSL_CTX_free(shared.context);
    shared.context = context;
    shared.certFile = certFile;
    shared.certDir = certDir;
    shared.made = true;
  }
  return SSL_new(shared.context);
}

int transportWrite(BIO* bio, const char* buf, int len) {
  BIO_clear_retry_flags(bio);
  TlsChannel::Session* session = static_cast<TlsChannel::Session*>(BIO_get_data(bio));
  if (len <= 0) return 0;
  unsigned int error = 0;
  int n = session->transport->send(buf, len, &error);
  if (n < 0) session->transportError = error;
  return n;
}

int transportRead(BIO* bio, char* buf, int len) {
  BIO_clear_retry_flags(bio);
  TlsChannel::Session* session = static_cast<TlsChannel::Session*>(BIO_get_data(bio));
  if (len <= 0) return 0;
  unsigned int error = 0;
  int n = session->transport->receive(buf, len, &error);
  if (n < 0) {
    session->transportError = error;
    // A read over the limits is retried later rather than breaking the session.
    if (error == TlsChannel::TIMED_OUT) BIO_set_retry_read(bio);
  }
  return n;
}

long transportControl(BIO*, int command, long, void*) {
  // The transport sends at once: there is nothing to flush.
  return command == BIO_CTRL_FLUSH ? 1 : 0;
}

int transportCreate(BIO* bio) {
  BIO_set_init(bio, 1);
  return 1;
}

const BIO_METHOD* transportMethod() {
  static BIO_METHOD* method = [] {
    BIO_METHOD* m = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "vwt transport");
    if (m) {
      BIO_meth_set_write(m, transportWrite);
      BIO_meth_set_read(m, transportRead);
      BIO_meth_set_ctrl(m, transportControl);
      BIO_meth_set_create(m, transportCreate);
    }
    return m;
  }();
  return method;
}

bool isAddress(const char* host) {
  unsigned char address[16];
  return inet_pton(AF_INET, host, address) == 1 || inet_pton(AF_INET6, host, address) == 1;
}

// The first queued OpenSSL reason, "" when there is none; the queue is left empty.
std::string queuedReason() {
  unsigned long code = ERR_get_error();
  const char* text = code != 0 ? ERR_reason_error_string(code) : nullptr;
  ERR_clear_error();
  return std::string(text ? text : "");
}

}  // namespace

TlsChannel::TlsChannel(Transport* transport) : session_(new Session{transport, nullptr, 0}) {}

TlsChannel::~TlsChannel() {
  if (session_->ssl) SSL_free(session_->ssl);
  delete session_->transport;
  delete session_;
}

TlsChannel::Outcome TlsChannel::handshake(const char* host, std::string* reason, unsigned int* error) {
  *error = 0;
  ERR_clear_error();
  if (session_->ssl) {
    reason->clear();
    return HANDSHAKE_FAILED;
  }
  const BIO_METHOD* method = transportMethod();
  SSL* ssl = method ? newSession() : nullptr;
  BIO* bio = ssl ? BIO_new(method) : nullptr;
  if (!bio) {
    if (ssl) SSL_free(ssl);
    *reason = queuedReason();
    return HANDSHAKE_FAILED;
  }
  BIO_set_data(bio, session_);
  SSL_set_bio(ssl, bio, bio);
  session_->ssl = ssl;

  // A name is checked without its closing dot, which DNS allows and certificates do not carry.
  std::string name(host);
  if (name.size() > 1 && name.back() == '.') name.pop_back();
  bool address = isAddress(name.c_str());
  bool set = true;
  if (address) {
    set = X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl), name.c_str()) == 1;
  } else {
    SSL_set_hostflags(ssl, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
    set = SSL_set1_host(ssl, name.c_str()) == 1 && SSL_set_tlsext_host_name(ssl, name.c_str()) == 1;
  }
  if (!set) {
    *reason = queuedReason();
    return HANDSHAKE_FAILED;
  }

  session_->transportError = 0;
  int connected = SSL_connect(ssl);
  if (connected == 1) return OK;
  int kind = SSL_get_error(ssl, connected);
  long verified = SSL_get_verify_result(ssl);
  if (verified != X509_V_OK) {
    ERR_clear_error();
    *reason = X509_verify_cert_error_string(verified);
    return NOT_TRUSTED;
  }
  *error = session_->transportError;
  *reason = queuedReason();
  // A server that hangs up mid-handshake leaves nothing queued when an end without goodbye is allowed.
  if (reason->empty() && *error == 0 && kind == SSL_ERROR_SYSCALL) {
    const char* text = ERR_reason_error_string(ERR_PACK(ERR_LIB_SSL, 0, SSL_R_UNEXPECTED_EOF_WHILE_READING));
    if (text) *reason = text;
  }
  return HANDSHAKE_FAILED;
}

int TlsChannel::read(char* buf, int len, unsigned int* error) {
  if (len <= 0) return 0;
  SSL* ssl = session_->ssl;
  if (!ssl) {
    *error = CONNECTION_ABORTED;
    return -1;
  }
  session_->transportError = 0;
  int n = SSL_read(ssl, buf, len);
  if (n > 0) return n;
  int kind = SSL_get_error(ssl, n);
  ERR_clear_error();
  if (kind == SSL_ERROR_ZERO_RETURN) return 0;
  if (session_->transportError != 0) {
    *error = session_->transportError;
    return -1;
  }
  // A plain close of the socket under the session is the end of the stream.
  if (kind == SSL_ERROR_SYSCALL) return 0;
  *error = CONNECTION_ABORTED;
  return -1;
}

int TlsChannel::write(const char* buf, int len, unsigned int* error) {
  if (len <= 0) return 0;
  SSL* ssl = session_->ssl;
  if (!ssl) {
    *error = CONNECTION_ABORTED;
    return -1;
  }
  session_->transportError = 0;
  int n = SSL_write(ssl, buf, len);
  if (n > 0) return n;
  ERR_clear_error();
  *error = session_->transportError != 0 ? session_->transportError : CONNECTION_ABORTED;
  return -1;
}

int TlsChannel::pending() const { return session_->ssl ? SSL_pending(session_->ssl) : 0; }

}  // namespace platform
}  // namespace vwt
