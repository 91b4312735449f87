#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace vesk {

struct Session {
  int32_t userId = 0;
  std::string key;  // 32 bytes
  std::string iv;   // 16 bytes
  std::string sessionId;
};

// The session key and IV of every user, and the allocation of new user ids. Kept in one
// file of the state directory so a restarted service still understands its handsets.
class SessionRegistry {
 public:
  static constexpr int32_t FIRST_USER_ID = 1001;

  // path empty: memory only.
  explicit SessionRegistry(std::string path);

  // Registers a key exchange. A requested id of 0 or less gets a new positive id.
  Session open(int32_t requestedId, const std::string& key, const std::string& iv);
  std::optional<Session> find(int32_t userId) const;

 private:
  void load();
  void save() const;

  std::string path_;
  mutable std::mutex mutex_;
  std::map<int32_t, Session> sessions_;
  int32_t nextId_ = FIRST_USER_ID;
};

}  // namespace vesk
