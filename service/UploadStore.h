#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace vesk {

// Reassembles upload chunks per (user, upload id, part). A chunk with fewer than CHUNK_BYTES
// data bytes ends its part; a part whose last chunk was full stays open until the handset's
// empty closing POST arrives.
class UploadStore {
 public:
  static constexpr size_t CHUNK_BYTES = 80896;
  static constexpr size_t MAX_UPLOAD_BYTES = 32u << 20;
  static constexpr size_t MAX_UPLOADS_PER_USER = 16;

  struct Outcome {
    bool ok = false;
    std::string error;
    bool completed = false;  // this chunk finished its part
    bool favorite = false;   // the upload carries the bookmark package
    int32_t uploadId = 0;
    int32_t part = 0;
    std::string data;  // the whole part, when completed
  };

  struct PartInfo {
    int32_t uploadId, part;
    size_t bytes;
    std::string sha1Hex;
    bool complete, favorite;
    int32_t chunks;
  };

  Outcome add(int32_t user, int32_t uploadId, int32_t part, int32_t chunk, const std::string& data,
              bool favorite);
  // The empty POST after a full chunk: completes that user's open part, if any.
  Outcome close(int32_t user);
  std::vector<PartInfo> describe(int32_t user) const;

 private:
  struct Part {
    std::string data;
    int32_t nextChunk = 0;
    bool complete = false;
  };
  struct Upload {
    bool favorite = false;
    std::map<int32_t, Part> parts;
    size_t bytes = 0;
  };
  using Key = std::pair<int32_t, int32_t>;

  Outcome finish(int32_t user, int32_t uploadId, int32_t part);

  mutable std::mutex mutex_;
  std::map<Key, Upload> uploads_;
  std::map<int32_t, std::deque<int32_t>> order_;         // per user, oldest first
  std::map<int32_t, std::pair<int32_t, int32_t>> open_;  // per user: upload id, part awaiting close
};

}  // namespace vesk
