#pragma once

#include "browser/page/Page.h"
#include "browser/page/PageParserHost.h"
#include "browser/page/RenderItem.h"

class DataInputStream;

// Reads the page description of a service response: the page header, the
// main and second item lists with their references, and the frame list.
// Counts from the stream are checked against sane maxima, so a damaged or
// hostile stream raises an Exception instead of allocating without bound.
class PageDataParser {
 public:
  static constexpr int MAX_ITEMS = 250000;      // per list
  static constexpr int MAX_REFERENCES = 65536;  // per item
  static constexpr int MAX_OPTIONS = 65536;     // per option block

  // Nothing is owned: the page receives the items, the stream stays open.
  PageDataParser(PageParserHost* host, Page* page, DataInputStream* in);

  // Reads one record (type byte first) into a fresh item. References are
  // looked up in the page's lists as far as they are read.
  void parseItem(RenderItem* item);
  // Reads the whole description into the page: 1 when complete, 0 when a
  // full load was cancelled.
  int parsePage(bool fullLoad);

 private:
  int readCount(int max, const char* what);
  void readRectangle(RenderItem* item);
  // Alternative text, image index and the two numbers, shared by the image types.
  void readImageFields(RenderItem* item);
  void readNameAndFlags(RenderItem* item);
  void readOptionLists(RenderItem* item);
  void readBorders(RenderItem* item);
  void readMainListRefs(RenderItem* item, bool boxMissing);
  void readFormRefs(RenderItem* item);
  void fixUpReferences();

  PageParserHost* host_;
  Page* page_;
  DataInputStream* in_;
};
