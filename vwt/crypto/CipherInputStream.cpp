#include "vwt/crypto/CipherInputStream.h"

#include <cstring>

#include "vwt/crypto/AES256.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"

CipherInputStream::CipherInputStream(InputStream* source, AES256* cipher, DIRECTION direction)
    : FilterInputStream(source),
      cipher_(cipher),
      cipherBlock_(),
      plainBlock_(),
      position_(0),
      atEnd_(false),
      available_(0),
      direction_(direction),
      lookahead_(0) {
  cipher_->initStep();
}

bool CipherInputStream::readLookahead() {
  int c = source_->read();
  if (c < 0) return false;
  lookahead_ = static_cast<char>(c);
  return true;
}

void CipherInputStream::readBuf() {
  const bool encrypting = direction_ == ENCRYPT;
  char* in = encrypting ? plainBlock_ : cipherBlock_;
  memset(in, 0, BLOCK);
  // An empty source gives no output at all.
  if (position_ == 0 && !readLookahead()) {
    atEnd_ = true;
    return;
  }
  in[0] = lookahead_;
  int count = 1;
  bool ended = false;
  while (count < BLOCK) {
    int n = source_->read(in, count, BLOCK - count);
    if (n < 0) {
      ended = true;
      break;
    }
    count += n;
  }
  if (!encrypting && count < BLOCK) throw Exception(Resource::getString(-2900));
  // The byte after the block tells whether this block is the last.
  if (!ended && !readLookahead()) ended = true;
  available_ += BLOCK;
  if (ended) {
    if (encrypting && count < BLOCK) in[count] = static_cast<char>(0xFF);
    atEnd_ = true;
  }
  if (encrypting) {
    cipher_->stepEncrypt(plainBlock_, cipherBlock_);
    return;
  }
  cipher_->stepDecrypt(cipherBlock_, plainBlock_);
  if (!ended) return;
  int k = BLOCK - 1;
  while (k >= 0 && plainBlock_[k] == 0) --k;
  if (k < 0)
    available_ -= BLOCK;
  else if (static_cast<unsigned char>(plainBlock_[k]) == 0xFF)
    available_ += k - BLOCK;
}

int CipherInputStream::read(char* buffer, int offset, int length) {
  if (length < 0 || offset < 0 || (length > 0 && !buffer))
    throw Exception(String(u"IndexOutOfBoundsException at CipherInputStream read()", false));
  if (length == 0) return 0;
  const char* out = direction_ == ENCRYPT ? cipherBlock_ : plainBlock_;
  int copied = 0;
  while (copied < length) {
    if (position_ % BLOCK == 0) {
      if (atEnd_) break;
      readBuf();
    }
    if (position_ >= available_) break;
    int inBlock = static_cast<int>(position_ % BLOCK);
    int64_t n = BLOCK - inBlock;
    if (n > length - copied) n = length - copied;
    if (n > available_ - position_) n = available_ - position_;
    memcpy(buffer + offset + copied, out + inBlock, static_cast<size_t>(n));
    copied += static_cast<int>(n);
    position_ += n;
  }
  return copied > 0 ? copied : -1;
}

int CipherInputStream::available() { return static_cast<int>(available_ - position_); }
