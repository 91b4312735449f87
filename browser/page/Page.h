#pragma once

#include "browser/page/RenderItem.h"
#include "vwt/lang/AutoArrayPtr.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/String.h"
#include "vwt/lang/Vector.h"
#include "vwt/lang/VectorV.h"

class ReflowLayout;

// One visited page: header, size and colours, its item lists while it is
// shown (with their single-column layout in reflow mode), and the compressed
// page data it can be shown again from. A plain record shared through
// SharedPtr<Page>.
class Page {
 public:
  // One frame: its URL and the index of its last item (negative: none).
  struct FrameInfo {
    FrameInfo(const String& n, int v) : name(n), value(v) {}
    String name;
    int value;
  };

  Page();
  ~Page();
  Page(const Page&) = delete;
  Page& operator=(const Page&) = delete;

  // New, empty item lists in place of the old ones (and no layout).
  void replaceItemLists();
  // The item with this index across both lists (main list first), or null.
  RenderItem* resolveReference(int index) const;
  // The URL of the frame that holds a structure item, or null when no
  // frame does (callers then use the page URL).
  String getFrameUrl(const RenderItem* structureItem) const;
  int mainCount() const { return items ? items->size() : 0; }
  int structureCount() const { return structure ? structure->size() : 0; }
  const String& getUrl() const { return url; }

  String url;
  int pageId;
  String title;
  int backgroundColor;
  int width, height;
  int carriedValue;
  AutoArrayPtr<char> data;  // the compressed page data as received
  int dataLength;
  AutoPtr<Vector<VectorV<char>*>> images;
  int pointerX, pointerY;
  AutoPtr<Vector<FrameInfo*>> frames;
  AutoPtr<Vector<RenderItem*>> items;
  AutoPtr<Vector<RenderItem*>> structure;
  int pageNo;
  int pageFlags;
  int zoom;
  // The reflow layout of the item lists, or null. Its items are linked with
  // the lists' items, so it is declared after them and goes first.
  AutoPtr<ReflowLayout> reflowLayout;
};
