#include "service/html/PictureStore.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "service/html/PictureCodec.h"

namespace vesk {

namespace {

constexpr int MIN_SIDE = 4;

}  // namespace

PictureStore::PictureStore(ResourceLoader& loader, int32_t memoryLimit)
    : loader_(loader), memoryLeft_(memoryLimit > 0 ? memoryLimit : 4194304) {}

PictureStore::Entry* PictureStore::fetch(const std::string& url) {
  auto it = entries_.find(url);
  if (it != entries_.end()) return &it->second;
  if (entries_.size() >= static_cast<size_t>(MAX_PICTURES) * 2 || url.empty()) return nullptr;
  Entry& e = entries_[url];
  if (fetchedBytes_ >= MAX_TOTAL_BYTES) return &e;
  FetchedResource r = loader_.load(url, std::min(MAX_PICTURE_BYTES, MAX_TOTAL_BYTES - fetchedBytes_));
  if (r.status < 200 || r.status >= 300) return &e;
  fetchedBytes_ += r.body.size();
  e.bytes = std::move(r.body);
  int w = 0, h = 0;
  if (PictureCodec::probe(e.bytes, w, h)) {
    e.picture = true;
    e.declaredWidth = w;
    e.declaredHeight = h;
    // Declared sizes are only a claim: keep them within what a page may show.
    double f = std::min({1.0, 4096.0 / w, 4096.0 / h});
    e.width = std::max(1, static_cast<int>(w * f));
    e.height = std::max(1, static_cast<int>(h * f));
  }
  return &e;
}

void PictureStore::request(const std::string& url) { fetch(url); }

void PictureStore::plan(const std::vector<Use>& uses) {
  std::set<std::string> seen;
  double demand = 0;
  for (const Use& u : uses) {
    Entry* e = fetch(u.url);
    if (!e || !e->picture || u.width <= 0 || u.height <= 0) continue;
    if (!seen.insert(u.url + "#" + std::to_string(u.width) + "x" + std::to_string(u.height)).second) continue;
    demand += 3.0 * std::min(e->declaredWidth, u.width) * std::min(e->declaredHeight, u.height);
  }
  share_ = demand > memoryLeft_ && demand > 0 ? std::sqrt(memoryLeft_ / demand) : 1.0;
}

bool PictureStore::naturalSize(const std::string& url, int& width, int& height) {
  Entry* e = fetch(url);
  if (!e || !e->picture) return false;
  width = e->width;
  height = e->height;
  return true;
}

const std::string* PictureStore::raw(const std::string& url) {
  Entry* e = fetch(url);
  return e ? &e->bytes : nullptr;
}

int PictureStore::place(const std::string& url, int width, int height, std::vector<PageImage>& table,
                        int& sentWidth, int& sentHeight) {
  Entry* e = fetch(url);
  if (!e || !e->picture || width <= 0 || height <= 0) return -1;
  std::string key = url + "#" + std::to_string(width) + "x" + std::to_string(height);
  auto done = placed_.find(key);
  if (done != placed_.end()) {
    sentWidth = placedSizes_[done->second].first;
    sentHeight = placedSizes_[done->second].second;
    return done->second;
  }
  if (table.size() >= static_cast<size_t>(MAX_PICTURES)) return -1;
  // Never larger than shown (the handset stretches a picture to its box anyway), and scaled by the
  // page's share of the memory the handset keeps for pictures.
  int w = std::min(e->declaredWidth, width), h = std::min(e->declaredHeight, height);
  if (share_ < 1.0) {
    w = std::max(1, static_cast<int>(w * share_));
    h = std::max(1, static_cast<int>(h * share_));
  }
  if (static_cast<int64_t>(w) * h * 3 > memoryLeft_) {
    double f = std::sqrt(static_cast<double>(memoryLeft_) / (static_cast<double>(w) * h * 3));
    w = static_cast<int>(w * f);
    h = static_cast<int>(h * f);
  }
  if (w < MIN_SIDE || h < MIN_SIDE) return -1;
  PageImage image;
  if (w == e->declaredWidth && h == e->declaredHeight) {
    image.bytes = e->bytes;
  } else {
    PictureCodec::Pixels pixels;
    if (!PictureCodec::decode(e->bytes, pixels, w, h)) return -1;
    image.bytes = PictureCodec::encodePng(PictureCodec::scale(pixels, w, h));
    if (image.bytes.empty()) return -1;
  }
  memoryLeft_ -= static_cast<int64_t>(w) * h * 3;
  int index = static_cast<int>(table.size());
  table.push_back(std::move(image));
  placed_[key] = index;
  placedSizes_[index] = {w, h};
  sentWidth = w;
  sentHeight = h;
  return index;
}

}  // namespace vesk
