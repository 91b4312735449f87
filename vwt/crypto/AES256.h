#pragma once

#include <cstdint>

#include "vwt/lang/Object.h"

// AES with a 256-bit key (14 rounds) in cipher-block-chaining mode,
// table-driven. Each object carries its own lookup tables and key schedules;
// the schedules are wiped when the object goes.
//
// Not locked: the step operations change the chain, so one object serves
// one stream at a time.
class AES256 : public Object {
 public:
  enum { BLOCK_SIZE = 16, KEY_SIZE = 32 };
  // makeKey mode bits: ENCRYPT_KEY expands the key for encryption only;
  // DECRYPT_KEY also derives the decryption schedule.
  enum { ENCRYPT_KEY = 1, DECRYPT_KEY = 2 };

  // Zero IV, no key yet.
  AES256();
  AES256(const AES256& other);
  AES256& operator=(const AES256& other);
  ~AES256() override;

  // key: 32 bytes.
  void makeKey(const char* key, int mode);
  // iv16: 16 bytes.
  void setIV(const char* iv16);

  // Restarts the step chain from the IV.
  void initStep();
  // out = AES(in XOR chain); chain = out.
  void stepEncrypt(const char* in16, char* out16);
  // out = AES^-1(in) XOR chain; chain = in. in16 and out16 may be the same.
  void stepDecrypt(const char* in16, char* out16);

  // CBC from the IV (the step chain is left alone). A last partial block is
  // completed with 0xFF plaintext bytes. Returns the bytes written: length
  // rounded up to whole blocks. in and out may be the same buffer.
  int encrypt(const char* in, int length, char* out) const;
  // CBC from the IV over length / 16 whole blocks; a partial tail is ignored
  // and no padding is removed. Returns the bytes written.
  int decrypt(const char* in, int length, char* out) const;

 private:
  static const int SCHEDULE_WORDS = 60;

  void encryptBlock(uint32_t s[4]) const;
  void decryptBlock(uint32_t s[4]) const;
  const uint32_t* encryptionKey() const;
  const uint32_t* decryptionKey() const;
  void copyFrom(const AES256& other);
  // Zeroes and frees both schedules.
  void finalize();

  uint8_t iv_[BLOCK_SIZE];
  uint8_t chain_[BLOCK_SIZE];
  uint32_t* encryptionSchedule_;  // owned, SCHEDULE_WORDS, null before makeKey
  uint32_t* decryptionSchedule_;  // owned, SCHEDULE_WORDS, null unless DECRYPT_KEY
  uint8_t sbox_[256];
  uint8_t invSbox_[256];
  uint32_t te_[4][256];
  uint32_t td_[4][256];
  uint32_t rcon_[10];
};
