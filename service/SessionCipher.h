#pragma once

#include <string>

namespace vesk {

// AES-256-CBC as the handset speaks it: every message starts a new chain at the session IV,
// and the end of the plaintext is marked in the last block instead of PKCS padding.
//
// The handset drops, from the last block only, a trailing 0xFF and the zeros after it, or a
// block that is all zero; any other last block is kept whole. encrypt() therefore always ends
// with an explicit marker (an extra marker block when the length is a multiple of 16), so no
// plaintext can be misread. decrypt() applies the handset's own rule to what it sends.
class SessionCipher {
 public:
  // key: 32 bytes, iv: 16 bytes (checked; throws ProtocolError otherwise).
  SessionCipher(const std::string& key, const std::string& iv);

  std::string encrypt(const std::string& plain) const;
  // Throws ProtocolError for an empty text or one that is not whole blocks.
  std::string decrypt(const std::string& cipher) const;
  // Plain CBC over whole blocks, no marker (the key-exchange answer).
  std::string encryptBlocks(const std::string& plain) const;

 private:
  std::string run(const std::string& in, bool encrypting) const;

  std::string key_;
  std::string iv_;
};

}  // namespace vesk
