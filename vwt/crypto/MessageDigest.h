#pragma once

#include <cstdint>

#include "vwt/lang/Object.h"
#include "vwt/lang/String.h"

// SHA-1 (FIPS 180-1). One shared instance per algorithm name, made by
// getInstance and kept until the program ends. Every digest call starts
// afresh; the instance has no lock, so two threads must not digest on it
// at the same time.
class MessageDigest : public Object {
 public:
  enum { DIGEST_LENGTH = 20 };

  // The instance for the name; only "SHA-1" exists, any other name throws
  // "NoSuchAlgorithm".
  static MessageDigest* getInstance(const String& algorithm);

  MessageDigest(const MessageDigest& other) = default;
  MessageDigest& operator=(const MessageDigest& other) = default;

  // The 20-byte digest of data[offset..offset+length), big-endian.
  void digest(const char* data, int64_t offset, int64_t length, char* out);
  // The same, as the five result words in native order into (*out)[0..4].
  void digest(const char* data, int64_t offset, int64_t length, int** out);
  // The initial chaining words.
  void reset();

 private:
  MessageDigest();

  static uint32_t S(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }
  // Hashes the message and leaves the result in h_.
  void run(const char* data, int64_t offset, int64_t length);
  // Pads and processes the last partial block of a message of total bytes.
  void digestBlock(const unsigned char* tail, int tailLength, uint64_t total);
  // The 80-step compression of blocks consecutive 64-byte blocks.
  void doDigestBlock(const unsigned char* block, size_t blocks);

  uint32_t h_[5];
};
