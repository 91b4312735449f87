#pragma once

#include <cstdint>

#include "vwt/io/FilterInputStream.h"

class AES256;

// Encrypts or decrypts, in CBC mode from the cipher's IV, whatever it reads
// from its source (owned unless setDeleteSource(false)).
//
// Encrypting n bytes gives whole blocks; when n is not a multiple of 16 the
// last plaintext block is the remaining bytes, 0xFF, then zeros. Decrypting
// drops, in the last block only, a trailing 0xFF with the zeros after it, or a
// block that is entirely zero. Ciphertext that is not a whole number of blocks
// is rejected (-2900).
//
// The stream runs the step chain of the cipher (not owned), so one AES256
// must not serve two streams at once.
class CipherInputStream : public FilterInputStream {
 public:
  enum DIRECTION { ENCRYPT = 1, DECRYPT = 2 };

  // Restarts the cipher's step chain from its IV.
  CipherInputStream(InputStream* source, AES256* cipher, DIRECTION direction);
  // A copy would share and delete the same source twice.
  CipherInputStream(const CipherInputStream&) = delete;
  CipherInputStream& operator=(const CipherInputStream&) = delete;

  using FilterInputStream::read;
  // Up to length bytes of output, -1 at the end, 0 for length 0. Throws for
  // a negative length or offset.
  int read(char* buffer, int offset, int length) override;
  // What can be handed out without reading the source again.
  int available() override;

 private:
  enum { BLOCK = 16 };

  // Produces the next block of output; runs when position_ is on a block
  // boundary and the source has not ended.
  void readBuf();
  // The next source byte into lookahead_; false at the end of the source.
  bool readLookahead();

  AES256* cipher_;
  char cipherBlock_[BLOCK];  // input when decrypting, output when encrypting
  char plainBlock_[BLOCK];   // output when decrypting, input when encrypting
  int64_t position_;         // bytes handed out
  bool atEnd_;               // the source has ended
  int64_t available_;        // bytes produced so far
  DIRECTION direction_;
  char lookahead_;  // the next source byte, read early to see the end
};
