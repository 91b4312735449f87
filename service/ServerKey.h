#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "service/RsaKeyPair.h"

namespace vesk {

// The service's current RSA key: loaded from the state directory, generated on first start,
// replaced on request (old handsets then get status 1 and the new record).
class ServerKey {
 public:
  explicit ServerKey(std::string pemPath);  // path empty: a fresh key kept in memory

  std::shared_ptr<const RsaKeyPair> current() const;
  void rotate();

 private:
  std::string path_;
  mutable std::mutex mutex_;
  std::shared_ptr<const RsaKeyPair> key_;
};

}  // namespace vesk
