#pragma once

#include <string>

#include "service/PageModel.h"

namespace vesk {

// A stable text form of a page description: a header line, then one line per item of both lists with
// the fields that travel for its type, the frames, the image table and the embedded files. For golden
// files, for tests and for looking at a layout by eye.
class PageDump {
 public:
  static std::string dump(const Page& page);
  static std::string item(const RenderItem& item);
  static const char* typeName(int type);
};

}  // namespace vesk
