#pragma once

#include "vwt/lang/String.h"

class Page;
class RenderItem;

// What the page-data parser needs of the canvas it parses for: the running
// request's cancel flag, progress display, the view and page extent, the
// interface font's line height and the reflow layout. The canvas implements
// it; tests use a fake.
class PageParserHost {
 public:
  virtual ~PageParserHost() = default;

  // The running background request has been cancelled.
  virtual bool isCancelled() = 0;
  virtual void setStatusText(const String& text) = 0;
  virtual void repaint() = 0;

  // The canvas's page width and height.
  virtual void setPageExtent(int width, int height) = 0;
  virtual int getViewWidth() = 0;
  virtual int getViewHeight() = 0;
  virtual int getInterfaceLineHeight() = 0;

  // Reflow view: a new single-column layout for page (being parsed, not
  // owned) receives every main-list item.
  virtual bool isReflowMode() = 0;
  virtual void beginReflowLayout(Page* page) = 0;
  virtual void addReflowItem(RenderItem* item) = 0;
  virtual void endReflowLayout() = 0;
};
