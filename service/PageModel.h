#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vesk {

// Item type codes of the page description.
enum ItemType : int {
  TEXT = 3,
  IMAGE = 5,
  PLACEHOLDER = 7,
  LINE = 8,
  RECT = 9,
  FILLED_RECT = 10,
  TILED_IMAGE = 11,
  BUTTON = 12,
  TEXT_FIELD = 13,
  PASSWORD_FIELD = 14,
  CHECKBOX = 15,
  RADIO = 16,
  SELECT = 17,
  LIST = 18,
  TEXT_AREA = 19,
  IMAGE_BUTTON = 22,
  HIDDEN_FIELD = 24,
  ANCHOR = 25,
  BOX = 29,
  OBJECT = 32,
  LINK = 100,
  CONTROL = 101,
  FORM = 102,
  AREA = 103
};

struct BorderSide {
  int32_t color = 0;
  int32_t width = 0;
  int32_t style = 0;
};

// One record of a laid-out page. Which fields travel depends on the type (PageWriter).
struct RenderItem {
  int type = TEXT;
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
