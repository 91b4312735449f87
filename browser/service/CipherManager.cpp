#include "browser/service/CipherManager.h"

#include <cstring>

#include "browser/store/RecordStore.h"
#include "vwt/crypto/AES256.h"
#include "vwt/crypto/MessageDigest.h"
#include "vwt/crypto/RSAClient.h"
#include "vwt/io/DataInputStream.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/System.h"
#include "vwt/lang/VectorV.h"
#include "vwt/platform/RandomSource.h"

namespace {
const char16_t KEY_RECORD_TYPE[] = u"RRRRRRR";

std::vector<char> bytesOf(Object* o) {
  VectorV<char>* v = dynamic_cast<VectorV<char>*>(o);
  if (!v) return std::vector<char>();
  return std::vector<char>(v->data(), v->data() + v->size());
}

VectorV<char>* boxed(const std::vector<char>& bytes) {
  VectorV<char>* v = new VectorV<char>(static_cast<int>(bytes.size()) + 1);
  if (!bytes.empty()) v->addElements(bytes.data(), static_cast<int>(bytes.size()));
  return v;
}

std::vector<char> randomBytes(int n) {
  std::vector<char> bytes(n);
  if (!vwt::platform::fillRandom(bytes.data(), bytes.size())) throw Exception(Resource::getString(10270));
  return bytes;
}

int bigEndian(const char* p) {
  return static_cast<int>(static_cast<unsigned char>(p[0]) << 24 | static_cast<unsigned char>(p[1]) << 16 |
                          static_cast<unsigned char>(p[2]) << 8 | static_cast<unsigned char>(p[3]));
}

void putBigEndian(char* p, int v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<char>(static_cast<unsigned int>(v) >> (24 - 8 * i));
}

int64_t nowSeconds() { return System::currentTimeMillis() / 1000; }
}  // namespace

CipherManager::CipherManager(RecordStore* store)
    : store_(store), keyExpiry_(0), digest_(new MessageDigest(*MessageDigest::getInstance(u"SHA-1"_s))) {
  if (!store_) return;
  AutoPtr<Vector<Object*>> record(store_->readRecord(RecordStore::KEYS, String(KEY_RECORD_TYPE, false)));
  if (!record || record->size() != 7) return;
  std::vector<char> expiry = bytesOf(record->elementAt(6));
  if (expiry.size() != 4) return;
  sessionKey_ = bytesOf(record->elementAt(0));
  sessionKeyDigest_ = bytesOf(record->elementAt(1));
  serverModulus_ = bytesOf(record->elementAt(2));
  serverModulusDigest_ = bytesOf(record->elementAt(3));
  serverFactor_ = bytesOf(record->elementAt(4));
  serverFactorDigest_ = bytesOf(record->elementAt(5));
  keyExpiry_ = bigEndian(expiry.data());
}

CipherManager::~CipherManager() { clear(); }

std::vector<char> CipherManager::sha1(const char* data, int length) const {
  std::vector<char> out(DIGEST_BYTES);
  digest_->digest(data, 0, length, out.data());
  return out;
}

void CipherManager::newSessionKey() {
  wipe(sessionKey_);
  sessionKey_ = randomBytes(KEY_BYTES);
  sessionKeyDigest_ = sha1(sessionKey_.data(), KEY_BYTES);
  keyExpiry_ = static_cast<int>(nowSeconds() + KEY_LIFETIME_SECONDS);
}

void CipherManager::newIv() {
  wipe(iv_);
  iv_ = randomBytes(IV_BYTES);
}

bool CipherManager::isSessionKeyValid() {
  if (sessionKey_.size() != KEY_BYTES || sessionKeyDigest_.size() != DIGEST_BYTES) return false;
  if (nowSeconds() > keyExpiry_) return false;
  return sha1(sessionKey_.data(), KEY_BYTES) == sessionKeyDigest_;
}

bool CipherManager::isServerKeyValid() {
  if (serverModulus_.size() != MODULUS_BYTES || serverModulusDigest_.size() != DIGEST_BYTES ||
      serverFactor_.size() != MODULUS_BYTES || serverFactorDigest_.size() != DIGEST_BYTES)
    return false;
  return sha1(serverModulus_.data(), MODULUS_BYTES) == serverModulusDigest_ &&
         sha1(serverFactor_.data(), MODULUS_BYTES) == serverFactorDigest_;
}

bool CipherManager::setServerKey(const char* record, int length) {
  if (length != PUBLIC_KEY_RECORD_BYTES) return false;
  std::vector<char> modulusDigest = sha1(record, MODULUS_BYTES);
  std::vector<char> factorDigest = sha1(record + MODULUS_BYTES, MODULUS_BYTES);
  if (std::memcmp(modulusDigest.data(), record + 256, DIGEST_BYTES) != 0 ||
      std::memcmp(factorDigest.data(), record + 276, DIGEST_BYTES) != 0)
    return false;
  serverModulus_.assign(record, record + MODULUS_BYTES);
  serverFactor_.assign(record + MODULUS_BYTES, record + 2 * MODULUS_BYTES);
  serverModulusDigest_ = modulusDigest;
  serverFactorDigest_ = factorDigest;
  return buildRsa();
}

bool CipherManager::buildRsa() {
  if (!isServerKeyValid()) return false;
  rsa_ = new RSAClient(serverModulus_.data(), MODULUS_BYTES, serverFactor_.data(), MODULUS_BYTES);
  return true;
}

AES256* CipherManager::buildCipher() {
  aes_ = new AES256();
  if (sessionKey_.size() == KEY_BYTES)
    aes_->makeKey(sessionKey_.data(), AES256::ENCRYPT_KEY | AES256::DECRYPT_KEY);
  if (iv_.size() == IV_BYTES) aes_->setIV(iv_.data());
  return aes_.get();
}

void CipherManager::save() {
  if (!store_) return;
  std::vector<char> expiry(4);
  putBigEndian(expiry.data(), keyExpiry_);
  Vector<Object*> record(true);
  for (const std::vector<char>* v : {&sessionKey_, &sessionKeyDigest_, &serverModulus_, &serverModulusDigest_,
                                     &serverFactor_, &serverFactorDigest_, &expiry})
    record.addElement(boxed(*v));
  store_->writeRecord(RecordStore::KEYS, record, String(KEY_RECORD_TYPE, false));
  // The stored copy goes with the record; the list's own copies are wiped.
  for (int i = 0; i < record.size(); ++i) {
    VectorV<char>* v = static_cast<VectorV<char>*>(record.elementAt(i));
    if (v->size() > 0) std::memset(v->data(), 0, v->size());
  }
}

void CipherManager::wipe(std::vector<char>& v) {
  if (!v.empty()) {
    volatile char* p = v.data();
    for (size_t i = 0; i < v.size(); ++i) p[i] = 0;
  }
  v.clear();
}

void CipherManager::clear() {
  wipe(sessionKey_);
  wipe(sessionKeyDigest_);
  wipe(serverModulus_);
  wipe(serverModulusDigest_);
  wipe(serverFactor_);
  wipe(serverFactorDigest_);
  wipe(iv_);
  keyExpiry_ = 0;
}

void CipherManager::makeKeyBlock(int userId, const String& handsetId, char* block) const {
  std::memset(block, 0, KEY_BLOCK_BYTES);
  if (sessionKey_.size() == KEY_BYTES) std::memcpy(block + 4, sessionKey_.data(), KEY_BYTES);
  if (sessionKeyDigest_.size() == DIGEST_BYTES)
    std::memcpy(block + 36, sessionKeyDigest_.data(), DIGEST_BYTES);
  if (iv_.size() == IV_BYTES) std::memcpy(block + 56, iv_.data(), IV_BYTES);
  putBigEndian(block + 72, userId);
  int n = handsetId.length() < 31 ? handsetId.length() : 31;
  for (int i = 0; i < n; ++i) block[76 + i] = static_cast<char>(handsetId.charAt(i) & 0xFF);
  std::memcpy(block + 107, "QKWM", 4);
}

bool CipherManager::encryptKeyBlock(const char* block, char* out) {
  if (!rsa_) return false;
  rsa_->encrypt(block, KEY_BLOCK_BYTES, out);
  return true;
}

bool CipherManager::readPublicKeyRecord(InputStream* in) {
  char record[PUBLIC_KEY_RECORD_BYTES];
  DataInputStream data(in);
  data.setDeleteSource(false);
  data.readFully(record, 0, PUBLIC_KEY_RECORD_BYTES);
  return setServerKey(record, PUBLIC_KEY_RECORD_BYTES);
}

int CipherManager::readKeyExchangeAnswer(InputStream* in, int* userId) {
  DataInputStream data(in);
  data.setDeleteSource(false);
  int status = static_cast<unsigned char>(data.readByte());
  if (status == 1) {
    if (!readPublicKeyRecord(in)) return -1;
    save();
    return 1;
  }
  if (status != 0) return status;
  AES256* aes = buildCipher();
  char answer[16];
  data.readFully(answer, 0, 16);
  aes->decrypt(answer, 16, answer);
  if (bigEndian(answer) != RESPONSE_MAGIC) return 2;
  *userId = bigEndian(answer + 4);
  return 0;
}
