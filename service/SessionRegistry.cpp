#include "service/SessionRegistry.h"

#include <sstream>

#include "service/QueryString.h"
#include "service/Random.h"
#include "service/StateFile.h"

namespace vesk {

SessionRegistry::SessionRegistry(std::string path) : path_(std::move(path)) { load(); }

void SessionRegistry::load() {
  std::string text;
  if (path_.empty() || !StateFile::read(path_, text)) return;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream ls(line);
    std::string kind, id, key, iv, sid;
    ls >> kind >> id;
    int uid = 0;
    if (!QueryString::parseInt32(id, uid)) continue;
    if (kind == "next") {
      if (uid > nextId_) nextId_ = uid;
    } else if (kind == "session" && (ls >> key >> iv >> sid)) {
      Session s;
      s.userId = uid;
      s.sessionId = sid;
      if (StateFile::fromHex(key, s.key) && StateFile::fromHex(iv, s.iv) && s.key.size() == 32 &&
          s.iv.size() == 16)
        sessions_[uid] = s;
    }
  }
}

void SessionRegistry::save() const {
  if (path_.empty()) return;
  std::ostringstream out;
  out << "next " << nextId_ << "\n";
  for (const auto& e : sessions_)
    out << "session " << e.first << " " << StateFile::toHex(e.second.key) << " "
        << StateFile::toHex(e.second.iv) << " " << e.second.sessionId << "\n";
  StateFile::write(path_, out.str());
}

Session SessionRegistry::open(int32_t requestedId, const std::string& key, const std::string& iv) {
  std::lock_guard<std::mutex> lock(mutex_);
  int32_t uid = requestedId;
  if (uid <= 0) {
    while (sessions_.count(nextId_)) ++nextId_;
    uid = nextId_++;
  } else if (uid >= nextId_ && uid < INT32_MAX) {
    nextId_ = uid + 1;
  }
  Session s;
  s.userId = uid;
  s.key = key;
  s.iv = iv;
  s.sessionId = Random::hex(8);
  sessions_[uid] = s;
  save();
  return s;
}

std::optional<Session> SessionRegistry::find(int32_t userId) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = sessions_.find(userId);
  if (it == sessions_.end()) return std::nullopt;
  return it->second;
}

}  // namespace vesk
