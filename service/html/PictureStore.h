#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "service/PageModel.h"
#include "service/html/HtmlEngine.h"

namespace vesk {

// The pictures of one page: fetched once per address through the loader, measured from their headers,
// and put into the page's image table at the size they are shown, within the client's image memory.
class PictureStore {
 public:
  static constexpr size_t MAX_PICTURE_BYTES = 4 * 1024 * 1024;
  static constexpr size_t MAX_TOTAL_BYTES = 24 * 1024 * 1024;
  static constexpr int MAX_PICTURES = 256;

  PictureStore(ResourceLoader& loader, int32_t memoryLimit);

  struct Use {
    std::string url;
    int width, height;
  };

  void request(const std::string& url);
  // The pictures a document shows: when together they exceed the memory left, each is scaled down
  // by the same factor, so that all of them fit rather than the first ones alone.
  void plan(const std::vector<Use>& uses);
  // The size the picture declares, bounded to the decodable limits; false when it is not a picture.
  bool naturalSize(const std::string& url, int& width, int& height);
  // The image index of the picture shown at width x height, adding it to the table; -1 when it cannot
  // be sent. sentWidth/sentHeight: the size of the picture sent.
  int place(const std::string& url, int width, int height, std::vector<PageImage>& table, int& sentWidth,
            int& sentHeight);
  // Bytes fetched as they came, for embedded files.
  const std::string* raw(const std::string& url);

 private:
  struct Entry {
    std::string bytes;
    int width = 0, height = 0;  // bounded
    int declaredWidth = 0, declaredHeight = 0;
    bool picture = false;
  };
  Entry* fetch(const std::string& url);

  ResourceLoader& loader_;
  int64_t memoryLeft_;
  double share_ = 1.0;
  size_t fetchedBytes_ = 0;
  std::map<std::string, Entry> entries_;
  std::map<std::string, int> placed_;
  std::map<int, std::pair<int, int>> placedSizes_;
};

}  // namespace vesk
