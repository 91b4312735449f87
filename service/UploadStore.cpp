#include "service/UploadStore.h"

#include <algorithm>

#include "service/Sha1.h"

namespace vesk {

UploadStore::Outcome UploadStore::finish(int32_t user, int32_t uploadId, int32_t part) {
  Outcome out;
  Upload& up = uploads_[{user, uploadId}];
  Part& p = up.parts[part];
  p.complete = true;
  out.ok = true;
  out.completed = true;
  out.favorite = up.favorite;
  out.uploadId = uploadId;
  out.part = part;
  out.data = p.data;
  open_.erase(user);
  return out;
}

UploadStore::Outcome UploadStore::add(int32_t user, int32_t uploadId, int32_t part, int32_t chunk,
                                      const std::string& data, bool favorite) {
  std::lock_guard<std::mutex> lock(mutex_);
  Outcome out;
  out.uploadId = uploadId;
  out.part = part;
  if (data.size() > CHUNK_BYTES) {
    out.error = "chunk larger than " + std::to_string(CHUNK_BYTES) + " bytes";
    return out;
  }
  if (part < 0 || chunk < 0) {
    out.error = "negative part or chunk index";
    return out;
  }
  Key key{user, uploadId};
  auto found = uploads_.find(key);
  if (found == uploads_.end()) {
    if (chunk != 0) {
      out.error = "chunk " + std::to_string(chunk) + " of an unknown upload";
      return out;
    }
    auto& order = order_[user];
    while (order.size() >= MAX_UPLOADS_PER_USER) {
      uploads_.erase({user, order.front()});
      order.pop_front();
    }
    order.push_back(uploadId);
    found = uploads_.emplace(key, Upload()).first;
  }
  Upload& up = found->second;
  Part& p = up.parts[part];
  if (chunk == 0) {  // a new first chunk starts the part again (the bookmark upload reuses its id)
    up.bytes -= p.data.size();
    p = Part();
    if (favorite) up.favorite = true;
  } else if (chunk != p.nextChunk || p.complete) {
    out.error =
        "chunk " + std::to_string(chunk) + " out of order (expected " + std::to_string(p.nextChunk) + ")";
    return out;
  }
  if (up.bytes + data.size() > MAX_UPLOAD_BYTES) {
    out.error = "upload too large";
    return out;
  }
  p.data += data;
  up.bytes += data.size();
  p.nextChunk = chunk + 1;
  if (data.size() < CHUNK_BYTES) return finish(user, uploadId, part);
  open_[user] = {uploadId, part};
  out.ok = true;
  out.favorite = up.favorite;
  return out;
}

UploadStore::Outcome UploadStore::close(int32_t user) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = open_.find(user);
  if (it == open_.end()) {
    Outcome out;
    out.ok = true;  // nothing open: an empty POST is harmless
    return out;
  }
  auto [uploadId, part] = it->second;
  return finish(user, uploadId, part);
}

std::vector<UploadStore::PartInfo> UploadStore::describe(int32_t user) const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<PartInfo> out;
  auto ord = order_.find(user);
  if (ord == order_.end()) return out;
  for (int32_t id : ord->second) {
    auto up = uploads_.find({user, id});
    if (up == uploads_.end()) continue;
    for (const auto& p : up->second.parts)
      out.push_back({id, p.first, p.second.data.size(), Sha1::hex(p.second.data), p.second.complete,
                     up->second.favorite, p.second.nextChunk});
  }
  return out;
}

}  // namespace vesk
