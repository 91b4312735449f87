#pragma once

#include <vector>

#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Object.h"
#include "vwt/lang/String.h"

class AES256;
class InputStream;
class MessageDigest;
class RSAClient;
class RecordStore;

// The session's key material: the AES-256 session key and IV the browser
// makes, the service's RSA public key, and the stored form of both in the
// key record. Key and IV come from the operating system's random source.
//
// Workers write the fields while the interface thread waits for them; the
// two never use an instance at the same time.
class CipherManager : public Object {
 public:
  static const int KEY_BYTES = 32;
  static const int DIGEST_BYTES = 20;
  static const int IV_BYTES = 16;
  static const int MODULUS_BYTES = 128;
  static const int PUBLIC_KEY_RECORD_BYTES = 296;
  static const int KEY_BLOCK_BYTES = 128;
  static const int KEY_LIFETIME_SECONDS = 604800;
  static const int RESPONSE_MAGIC = 0x66DECDEC;

  // store (not owned, may be null) holds the key record; it is read here.
  explicit CipherManager(RecordStore* store);
  ~CipherManager() override;
  CipherManager(const CipherManager&) = delete;
  CipherManager& operator=(const CipherManager&) = delete;

  void newSessionKey();
  void newIv();
  bool isSessionKeyValid();
  bool isServerKeyValid();
  // Takes the 296-byte public-key record when its digests check out.
  bool setServerKey(const char* record, int length);
  // Builds the RSA client from the server key; false when it is not valid.
  bool buildRsa();
  // A fresh cipher from the session key and IV; the manager owns it.
  AES256* buildCipher();
  AES256* getCipher() const { return aes_.get(); }
  void save();
  // Wipes and empties the key material.
  void clear();

  // The 128-byte plaintext of the key exchange.
  void makeKeyBlock(int userId, const String& handsetId, char* block) const;
  // RSA of the block; false when there is no RSA client.
  bool encryptKeyBlock(const char* block, char* out);
  // Reads the public-key record from in; false when it is rejected.
  bool readPublicKeyRecord(InputStream* in);
  // Reads the key-exchange answer: 0 accepted (*userId set), 1 a new public
  // key was taken (exchange again), 2 no magic, other: the service's status.
  int readKeyExchangeAnswer(InputStream* in, int* userId);

  int getKeyExpiry() const { return keyExpiry_; }
  const std::vector<char>& getSessionKey() const { return sessionKey_; }
  const std::vector<char>& getIv() const { return iv_; }

 private:
  std::vector<char> sha1(const char* data, int length) const;
  static void wipe(std::vector<char>& v);

  RecordStore* store_;
  std::vector<char> sessionKey_, sessionKeyDigest_;
  std::vector<char> serverModulus_, serverModulusDigest_;
  std::vector<char> serverFactor_, serverFactorDigest_;
  std::vector<char> iv_;
  int keyExpiry_;
  AutoPtr<MessageDigest> digest_;  // a copy of the shared SHA-1 of its own
  AutoPtr<RSAClient> rsa_;
  AutoPtr<AES256> aes_;
};
