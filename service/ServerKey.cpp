#include "service/ServerKey.h"

#include <sys/stat.h>

namespace vesk {

ServerKey::ServerKey(std::string pemPath) : path_(std::move(pemPath)) {
  struct stat st;
  if (!path_.empty() && stat(path_.c_str(), &st) == 0) {
    key_ = RsaKeyPair::load(path_);
    return;
  }
  auto fresh = RsaKeyPair::generate();
  if (!path_.empty()) fresh->save(path_);
  key_ = std::move(fresh);
}

std::shared_ptr<const RsaKeyPair> ServerKey::current() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return key_;
}

void ServerKey::rotate() {
  auto fresh = RsaKeyPair::generate();
  if (!path_.empty()) fresh->save(path_);
  std::lock_guard<std::mutex> lock(mutex_);
  key_ = std::move(fresh);
}

}  // namespace vesk
