#pragma once
// A one-thread TLS HTTP server on 127.0.0.1 for the https tests: it accepts connections one after
// another, reads each request header, answers with a fixed text and closes. Its certificate is made
// at test time, in memory, signed by a test authority that the test trusts through SSL_CERT_FILE
// (writeAuthority). Every server of a test program shares one authority, so that one trust file
// serves them all; a server made with sharedAuthority false has an authority of its own that nobody
// trusts.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/vwt/net/LoopbackListener.h"

class TestTlsServer {
 public:
  struct Request {
    std::string header;      // up to and including the blank line
    std::string serverName;  // the name the client sent in its hello, "" when none
  };

  // Serves `response` (full HTTP response bytes) to every connection, with a certificate for
  // `certificateName` (an IP address text such as "127.0.0.1" becomes an IP SAN, anything else a DNS SAN).
  explicit TestTlsServer(std::string response, std::string certificateName = "127.0.0.1",
                         bool sharedAuthority = true)
      : response_(std::move(response)) {
    // A client that gives up mid-handshake must not end the test program with SIGPIPE.
    signal(SIGPIPE, SIG_IGN);
    Authority own;
    if (!sharedAuthority) own = makeAuthority();
    const Authority& authority = sharedAuthority ? shared() : own;
    authority_ = authority.certificate;
    X509_up_ref(authority_);
    EVP_PKEY* key = EVP_EC_gen("P-256");
    X509* certificate = makeCertificate(key, certificateName, authority.certificate, authority.key);
    context_ = SSL_CTX_new(TLS_server_method());
    SSL_CTX_set_min_proto_version(context_, TLS1_2_VERSION);
    if (!key || !certificate || SSL_CTX_use_certificate(context_, certificate) != 1 ||
        SSL_CTX_use_PrivateKey(context_, key) != 1)
      abort();
    X509_free(certificate);
    EVP_PKEY_free(key);
    if (!sharedAuthority) {
      X509_free(own.certificate);
      EVP_PKEY_free(own.key);
    }
    listener_ = listenOnLoopback(8, &port_);
    thread_ = std::thread([this] { serve(); });
  }

  ~TestTlsServer() {
    stopping_ = true;
    shutdown(listener_, SHUT_RDWR);
    {
      std::lock_guard<std::mutex> g(mutex_);
      if (current_ >= 0) shutdown(current_, SHUT_RDWR);
    }
    thread_.join();
    close(listener_);
    SSL_CTX_free(context_);
    X509_free(authority_);
  }

  int port() const { return port_; }
  std::string base() const { return "https://127.0.0.1:" + std::to_string(port_); }

  // Writes the test authority's certificate (PEM) to path, for SSL_CERT_FILE.
  void writeAuthority(const std::string& path) const {
    BIO* out = BIO_new_file(path.c_str(), "w");
    if (!out || PEM_write_bio_X509(out, authority_) != 1) abort();
    BIO_free(out);
  }

  // After the response, each connection stays open until the client closes it (or the server
  // stops): a client reading past the response blocks.
  void setHoldOpen(bool hold) { holdOpen_ = hold; }

  std::vector<Request> requests() {
    std::lock_guard<std::mutex> g(mutex_);
    return requests_;
  }

 private:
  struct Authority {
    EVP_PKEY* key = nullptr;
    X509* certificate = nullptr;
  };

  static const Authority& shared() {
    static const Authority authority = makeAuthority();
    return authority;
  }

  static long nextSerial() {
    static std::atomic<long> serial{1};
    return serial++;
  }

  static bool addExtension(X509* certificate, X509* issuer, int nid, const std::string& value) {
    X509V3_CTX ctx;
    X509V3_set_ctx(&ctx, issuer, certificate, nullptr, nullptr, 0);
    X509_EXTENSION* extension = X509V3_EXT_nconf_nid(nullptr, &ctx, nid, value.c_str());
    if (!extension) return false;
    bool added = X509_add_ext(certificate, extension, -1) == 1;
    X509_EXTENSION_free(extension);
    return added;
  }

  // A certificate for key named commonName, valid from an hour ago for a day, without extensions.
  static X509* newCertificate(EVP_PKEY* key, const std::string& commonName, X509* issuer) {
    X509* certificate = X509_new();
    X509_set_version(certificate, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(certificate), nextSerial());
    X509_gmtime_adj(X509_getm_notBefore(certificate), -3600);
    X509_gmtime_adj(X509_getm_notAfter(certificate), 24 * 3600);
    X509_set_pubkey(certificate, key);
    X509_NAME* name = X509_get_subject_name(certificate);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>(commonName.c_str()), -1, -1, 0);
    X509_set_issuer_name(certificate, issuer ? X509_get_subject_name(issuer) : name);
    return certificate;
  }

  static Authority makeAuthority() {
    Authority authority;
    authority.key = EVP_EC_gen("P-256");
    // Each authority has a name of its own: one nobody trusts is not mistaken for the shared one.
    X509* certificate =
        authority.key
            ? newCertificate(authority.key, "vwt test authority " + std::to_string(nextSerial()), nullptr)
            : nullptr;
    if (!certificate || !addExtension(certificate, certificate, NID_basic_constraints, "critical,CA:TRUE") ||
        !addExtension(certificate, certificate, NID_key_usage, "critical,keyCertSign,cRLSign") ||
        !addExtension(certificate, certificate, NID_subject_key_identifier, "hash") ||
        X509_sign(certificate, authority.key, EVP_sha256()) == 0)
      abort();
    authority.certificate = certificate;
    return authority;
  }

  static X509* makeCertificate(EVP_PKEY* key, const std::string& subject, X509* issuer, EVP_PKEY* issuerKey) {
    if (!key) return nullptr;
    unsigned char address[16];
    bool isAddress = inet_pton(AF_INET, subject.c_str(), address) == 1 ||
                     inet_pton(AF_INET6, subject.c_str(), address) == 1;
    X509* certificate = newCertificate(key, subject, issuer);
    if (!addExtension(certificate, issuer, NID_basic_constraints, "critical,CA:FALSE") ||
        !addExtension(certificate, issuer, NID_key_usage, "critical,digitalSignature") ||
        !addExtension(certificate, issuer, NID_ext_key_usage, "serverAuth") ||
        !addExtension(certificate, issuer, NID_subject_key_identifier, "hash") ||
        !addExtension(certificate, issuer, NID_authority_key_identifier, "keyid:always") ||
        !addExtension(certificate, issuer, NID_subject_alt_name, (isAddress ? "IP:" : "DNS:") + subject) ||
        X509_sign(certificate, issuerKey, EVP_sha256()) == 0) {
      X509_free(certificate);
      return nullptr;
    }
    return certificate;
  }

  void serve() {
    while (!stopping_) {
      int c = accept(listener_, nullptr, nullptr);
      if (c < 0) return;
      {
        std::lock_guard<std::mutex> g(mutex_);
        current_ = c;
      }
      // A stop that came before current_ was set finds nothing to shut down: look once more.
      SSL* ssl = SSL_new(context_);
      SSL_set_fd(ssl, c);
      if (!stopping_ && SSL_accept(ssl) == 1) answer(ssl);
      SSL_free(ssl);
      {
        std::lock_guard<std::mutex> g(mutex_);
        current_ = -1;
      }
      shutdown(c, SHUT_WR);
      close(c);
    }
  }

  void answer(SSL* ssl) {
    Request r;
    const char* name = SSL_get_servername(ssl, TLSEXT_NAMETYPE_host_name);
    if (name) r.serverName = name;
    char buf[4096];
    size_t end;
    while ((end = r.header.find("\r\n\r\n")) == std::string::npos) {
      int n = SSL_read(ssl, buf, sizeof buf);
      if (n <= 0) break;
      r.header.append(buf, static_cast<size_t>(n));
    }
    if (end != std::string::npos) r.header.resize(end + 4);
    {
      std::lock_guard<std::mutex> g(mutex_);
      requests_.push_back(r);
    }
    size_t sent = 0;
    while (sent < response_.size()) {
      int n = SSL_write(ssl, response_.data() + sent, static_cast<int>(response_.size() - sent));
      if (n <= 0) return;
      sent += static_cast<size_t>(n);
    }
    if (holdOpen_) {
      while (!stopping_ && SSL_read(ssl, buf, sizeof buf) > 0) {
      }
    }
    SSL_shutdown(ssl);
  }

  std::string response_;
  SSL_CTX* context_;
  X509* authority_;  // the authority's certificate, one reference
  int listener_;
  int port_;
  std::atomic<bool> stopping_{false};
  std::atomic<bool> holdOpen_{false};
  std::thread thread_;
  std::mutex mutex_;
  int current_ = -1;  // the connection being served, under mutex_
  std::vector<Request> requests_;
};
