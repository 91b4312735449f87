#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vesk {

// Item type codes of the page description.
enum ItemType : int {
  kText = 3,
  kImage = 5,
  kPlaceholder = 7,
  kLine = 8,
  kRect = 9,
  kFilledRect = 10,
  kTiledImage = 11,
  kButton = 12,
  kTextField = 13,
  kPasswordField = 14,
  kCheckbox = 15,
  kRadio = 16,
  kSelect = 17,
  kList = 18,
  kTextArea = 19,
  kImageButton = 22,
  kHiddenField = 24,
  kAnchor = 25,
  kBox = 29,
  kObject = 32,
  kLink = 100,
  kControl = 101,
  kForm = 102,
  kArea = 103
};

struct BorderSide {
  int32_t color = 0;
  int32_t width = 0;
  int32_t style = 0;
};

// One record of a laid-out page. Which fields travel depends on the type (PageWriter).
struct RenderItem {
  int type = kText;
  int32_t x = 0, y = 0, width = 0, height = 0;
  int32_t color = 0, color2 = 0;
  std::string text, name;
  std::string extra;  // FORM: the string the handset reads and discards
  int32_t image = 0, param1 = 0, param2 = 0;
  int32_t value1 = 0, value2 = 0;
  int32_t flags = 0;
  int32_t formM = 0, formE = 0;             // FORM: the two 16-bit words
  std::vector<std::string> labels, values;  // SELECT, LIST option blocks
  std::vector<bool> selected;
  std::vector<int32_t> refs;  // item indexes across both lists
  BorderSide border[4];       // BOX sides top, right, bottom, left
};

struct FrameInfo {
  std::string name;
  int32_t value = -1;
};

struct PageImage {
  std::string bytes;        // one complete picture file
  int32_t transparent = 0;  // 0xRRGGBB, sent before the picture when the handset asks for "tc"
};

struct EmbeddedFile {
  std::string label;  // travels but the handset does not use it
  std::string name;
  std::string data;
};

struct Cookie {
  std::string domain, path, name, value;
  int32_t lifetime = 0;
  int32_t flags = 0;
  int32_t group = 0;
};

struct Command {
  int32_t status = 0;
  std::string message, argument;
};

struct Page {
  std::string url;  // empty: the address the handset asked for
  std::string title;
  int32_t pageNo = 1;
  int32_t pageFlags = 0;
  int32_t background = 0xFFFFFF;
  int32_t width = 236;
  int32_t height = 300;
  std::vector<RenderItem> items;
  std::vector<RenderItem> structure;
  std::vector<FrameInfo> frames;
  std::vector<PageImage> images;
  int32_t imageMemoryLimit = 0;  // 0: the service's default
  std::vector<EmbeddedFile> files;
  std::string fileParams;  // follows the last embedded file
  std::vector<Cookie> cookies;
  Command command;
};

}  // namespace vesk
