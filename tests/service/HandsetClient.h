#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace httplib {
class Client;
}

namespace vesktest {

// A small protocol client in the handset's manner, built on OpenSSL and zlib directly:
// Montgomery-form RSA for the key exchange, AES-256-CBC with the end-marker rules, inflate.
class HandsetClient {
 public:
  static constexpr int32_t MAGIC = 0x66DECDEC;

  explicit HandsetClient(int port);
  ~HandsetClient();

  struct Reply {
    int status = 0;
    std::string body;
  };
  Reply post(const std::string& contentType, const std::string& body, const std::string& path = "/br/wm");
  Reply control(const std::string& pathAndQuery);

  // c=R; checks the digests. Returns the 296-byte record.
  std::string fetchPublicKey();
  // Builds and sends the key-exchange block under the given record. Returns the answer's
  // status byte; on 0 the session (key, iv, user id) is taken.
  int exchangeKeys(const std::string& record, int32_t userId, std::string* answer = nullptr);

  // The handset's encryption (end marker only when the length is not whole blocks) and
  // decryption (last-block trimming).
  std::string encrypt(const std::string& plain) const;
  std::string decrypt(const std::string& cipher) const;
  // Montgomery-form RSA of a 128-byte block: x^65537 * R^-65536 mod N.
  static std::string montgomeryEncrypt(const std::string& record, const std::string& block);
  static std::string inflate(const std::string& z);

  // Sends an encrypted query; returns the decrypted answer (magic included).
  Reply query(const std::string& q);
  // c=H round trip; returns the inflated envelope. Fails the test on a bad magic.
  std::string page(const std::string& q);

  int32_t userId() const { return userId_; }
  const std::string& key() const { return key_; }

 private:
  std::unique_ptr<httplib::Client> http_;
  std::string key_, iv_;
  int32_t userId_ = 0;
};

}  // namespace vesktest
