#pragma once

#include <cstdint>

#include "service/PageModel.h"

namespace vesk {

class DataWriter;

// Writes the page description (header, both item lists, frames) the way the handset's
// page parser reads it.
class PageWriter {
 public:
  static void write(DataWriter& out, const Page& page, int32_t pageId, const std::string& url);
  static void writeItem(DataWriter& out, const RenderItem& item);
  // Codes 3-22 and 29 carry the common rectangle right after the type byte.
  static bool hasRectangle(int type) { return (type >= 3 && type <= 22) || type == 29; }
};

}  // namespace vesk
