// The toolkit's cryptography side by side with OpenSSL in one run.
//
// OpenSSL reads OPENSSL_ia32cap when libcrypto loads, before any code of
// ours runs, so the benchmark starts itself again with the mask set (unless
// it is already set): AES-NI, SSSE3, AVX, AVX2 and the SHA extensions off,
// which leaves OpenSSL's table-driven AES and scalar SHA-1 assembly, the
// like-for-like references. Set VWT_BENCH_OPENSSL_NATIVE=1 to compare with
// OpenSSL's fastest paths instead.
#include <benchmark/benchmark.h>
#include <openssl/evp.h>
#include <openssl/rsa.h>
#include <openssl/sha.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "vwt/crypto/AES256.h"
#include "vwt/crypto/Base64.h"
#include "vwt/crypto/CipherInputStream.h"
#include "vwt/crypto/MessageDigest.h"
#include "vwt/crypto/RSAClient.h"
#include "vwt/io/ByteArrayInputStream.h"

namespace {

const char REFERENCE_MASK[] = "~0x1200020200000000:~0x20000020";

struct ReferencePaths {
  ReferencePaths() {
    if (std::getenv("OPENSSL_ia32cap") || std::getenv("VWT_BENCH_OPENSSL_NATIVE")) return;
    std::ifstream cmdline("/proc/self/cmdline", std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(cmdline)), std::istreambuf_iterator<char>());
    std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    std::string command = std::string("OPENSSL_ia32cap='") + REFERENCE_MASK + "' '" + self + "'";
    // Arguments after argv[0], each single-quoted.
    size_t start = all.find('\0');
    while (start != std::string::npos && start + 1 < all.size()) {
      size_t end = all.find('\0', start + 1);
      std::string arg = all.substr(start + 1, end - start - 1);
      std::string quoted;
      for (char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
      command += " '" + quoted + "'";
      start = end;
    }
    int status = std::system(command.c_str());
    std::exit(status == 0 ? 0 : 1);
  }
} referencePaths;

std::vector<char> randomBytes(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<char> v(n);
  for (auto& c : v) c = static_cast<char>(rng());
  return v;
}

const std::vector<char>& key() {
  static std::vector<char> k = randomBytes(32, 1);
  return k;
}
const std::vector<char>& iv() {
  static std::vector<char> v = randomBytes(16, 2);
  return v;
}
const unsigned char* u(const char* p) { return reinterpret_cast<const unsigned char*>(p); }

// ---- AES-256-CBC ----

void BM_AES256_Encrypt(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  std::vector<char> in = randomBytes(n, 3), out(n + 16);
  AES256 aes;
  aes.makeKey(key().data(), 3);
  aes.setIV(iv().data());
  for (auto _ : state) {
    aes.encrypt(in.data(), n, out.data());
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * n);
}

void BM_AES256_Decrypt(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  std::vector<char> in = randomBytes(n, 3), out(n);
  AES256 aes;
  aes.makeKey(key().data(), 3);
  aes.setIV(iv().data());
  for (auto _ : state) {
    aes.decrypt(in.data(), n, out.data());
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * n);
}

void opensslCbc(benchmark::State& state, int encrypt) {
  const int n = static_cast<int>(state.range(0));
  std::vector<char> in = randomBytes(n, 3), out(n + 16);
  EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
  EVP_CipherInit_ex(ctx, EVP_aes_256_cbc(), nullptr, u(key().data()), u(iv().data()), encrypt);
  EVP_CIPHER_CTX_set_padding(ctx, 0);
  int len = 0;
  for (auto _ : state) {
    EVP_CipherUpdate(ctx, reinterpret_cast<unsigned char*>(out.data()), &len, u(in.data()), n);
    benchmark::DoNotOptimize(out.data());
  }
  EVP_CIPHER_CTX_free(ctx);
  state.SetBytesProcessed(state.iterations() * n);
}
void BM_OpenSSL_AES256_Encrypt(benchmark::State& state) { opensslCbc(state, 1); }
void BM_OpenSSL_AES256_Decrypt(benchmark::State& state) { opensslCbc(state, 0); }

BENCHMARK(BM_AES256_Encrypt)->Arg(16)->Arg(1024)->Arg(16384);
BENCHMARK(BM_OpenSSL_AES256_Encrypt)->Arg(16)->Arg(1024)->Arg(16384);
BENCHMARK(BM_AES256_Decrypt)->Arg(16)->Arg(1024)->Arg(16384);
BENCHMARK(BM_OpenSSL_AES256_Decrypt)->Arg(16)->Arg(1024)->Arg(16384);

// The browser builds one cipher per request.
void BM_AES256_ConstructAndMakeKey(benchmark::State& state) {
  for (auto _ : state) {
    AES256 aes;
    aes.makeKey(key().data(), 3);
    aes.setIV(iv().data());
    benchmark::DoNotOptimize(&aes);
  }
}
BENCHMARK(BM_AES256_ConstructAndMakeKey);

// ---- CipherInputStream over a 4 MB body ----

const int BODY = 4 << 20;

void BM_CipherInputStream_Decrypt4MB(benchmark::State& state) {
  const int chunk = static_cast<int>(state.range(0));
  std::vector<char> body = randomBytes(BODY, 4), out(chunk);
  AES256 aes;
  aes.makeKey(key().data(), 3);
  aes.setIV(iv().data());
  for (auto _ : state) {
    CipherInputStream in(new ByteArrayInputStream(body.data(), 0, BODY), &aes, CipherInputStream::DECRYPT);
    int64_t total = 0;
    for (int n; (n = in.read(out.data(), 0, chunk)) > 0;) total += n;
    benchmark::DoNotOptimize(total);
  }
  state.SetBytesProcessed(state.iterations() * BODY);
}
BENCHMARK(BM_CipherInputStream_Decrypt4MB)->Arg(1024)->Arg(4096)->Unit(benchmark::kMillisecond);

void BM_AES256_Decrypt4MB(benchmark::State& state) {
  std::vector<char> body = randomBytes(BODY, 4), out(BODY);
  AES256 aes;
  aes.makeKey(key().data(), 3);
  aes.setIV(iv().data());
  for (auto _ : state) {
    aes.decrypt(body.data(), BODY, out.data());
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * BODY);
}
BENCHMARK(BM_AES256_Decrypt4MB)->Unit(benchmark::kMillisecond);

// ---- RSA public operation, 1024 bits ----

struct RsaKey {
  EVP_PKEY* pkey = nullptr;
  std::vector<char> modulus, factor;
  RsaKey() {
    pkey = EVP_RSA_gen(1024);
    BIGNUM* n = nullptr;
    EVP_PKEY_get_bn_param(pkey, "n", &n);
    BN_CTX* ctx = BN_CTX_new();
    BIGNUM* r = BN_new();
    BIGNUM* inv = BN_new();
    BN_one(r);
    BN_lshift(r, r, 1024);
    BN_mod_inverse(inv, n, r, ctx);
    BN_sub(inv, r, inv);
    modulus.resize(128);
    factor.resize(128);
    BN_bn2binpad(n, reinterpret_cast<unsigned char*>(modulus.data()), 128);
    BN_bn2binpad(inv, reinterpret_cast<unsigned char*>(factor.data()), 128);
    BN_free(inv);
    BN_free(r);
    BN_free(n);
    BN_CTX_free(ctx);
  }
};
const RsaKey& rsaKey() {
  static RsaKey k;
  return k;
}

// A block below every 1024-bit modulus, as the key-exchange block is.
std::vector<char> rsaInput() {
  std::vector<char> in = randomBytes(128, 5);
  in[0] = 0;
  return in;
}

void BM_RSAClient_Encrypt(benchmark::State& state) {
  RSAClient rsa(rsaKey().modulus.data(), 128, rsaKey().factor.data(), 128);
  std::vector<char> in = rsaInput(), out(128);
  for (auto _ : state) {
    rsa.encrypt(in.data(), 128, out.data());
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_RSAClient_Encrypt);

void BM_OpenSSL_RSA1024_Public(benchmark::State& state) {
  EVP_PKEY_CTX* ctx = EVP_PKEY_CTX_new(rsaKey().pkey, nullptr);
  EVP_PKEY_encrypt_init(ctx);
  EVP_PKEY_CTX_set_rsa_padding(ctx, RSA_NO_PADDING);
  std::vector<char> in = rsaInput();
  unsigned char out[128];
  for (auto _ : state) {
    size_t outLen = sizeof out;
    EVP_PKEY_encrypt(ctx, out, &outLen, u(in.data()), 128);
    benchmark::DoNotOptimize(out);
  }
  EVP_PKEY_CTX_free(ctx);
}
BENCHMARK(BM_OpenSSL_RSA1024_Public);

// ---- SHA-1 ----

void BM_SHA1(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  std::vector<char> in = randomBytes(n, 6);
  char out[20];
  MessageDigest* md = MessageDigest::getInstance(u"SHA-1"_s);
  for (auto _ : state) {
    md->digest(in.data(), 0, n, out);
    benchmark::DoNotOptimize(out);
  }
  state.SetBytesProcessed(state.iterations() * n);
}
void BM_OpenSSL_SHA1(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  std::vector<char> in = randomBytes(n, 6);
  unsigned char out[20];
  for (auto _ : state) {
    SHA1(u(in.data()), n, out);
    benchmark::DoNotOptimize(out);
  }
  state.SetBytesProcessed(state.iterations() * n);
}
BENCHMARK(BM_SHA1)->Arg(64)->Arg(16384);
BENCHMARK(BM_OpenSSL_SHA1)->Arg(64)->Arg(16384);

// ---- Base64 on 100 MB (compare with `base64 -w0` of coreutils) ----

const int BASE64_BYTES = 100 * 1000 * 1000;

const std::vector<char>& base64Input() {
  static std::vector<char> v = randomBytes(BASE64_BYTES, 7);
  return v;
}

void BM_Base64_Encode100MB(benchmark::State& state) {
  const std::vector<char>& in = base64Input();
  for (auto _ : state) {
    String s = Base64::encode(in.data(), BASE64_BYTES);
    benchmark::DoNotOptimize(s.getCString());
  }
  state.SetBytesProcessed(state.iterations() * BASE64_BYTES);
}
BENCHMARK(BM_Base64_Encode100MB)->Unit(benchmark::kMillisecond);

void BM_Base64_Decode100MB(benchmark::State& state) {
  String text = Base64::encode(base64Input().data(), BASE64_BYTES);
  for (auto _ : state) {
    VectorV<char> out(BASE64_BYTES + 16);
    Base64::decode(text, out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * BASE64_BYTES);
}
BENCHMARK(BM_Base64_Decode100MB)->Unit(benchmark::kMillisecond);

}  // namespace
