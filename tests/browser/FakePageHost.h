#pragma once

#include <vector>

#include "browser/page/PageParserHost.h"

// Records what the parser asks of the canvas.
class FakePageHost : public PageParserHost {
 public:
  bool isCancelled() override { return ++cancelChecks > cancelAfter; }
  void setStatusText(const String& text) override { statusTexts.push_back(text); }
  void repaint() override { ++repaints; }
  void setPageExtent(int width, int height) override {
    extentWidth = width;
    extentHeight = height;
  }
  int getViewWidth() override { return 240; }
  int getViewHeight() override { return 320; }
  int getInterfaceLineHeight() override { return 12; }
  bool isReflowMode() override { return reflow; }
  void beginReflowLayout(Page*) override { ++reflowBegins; }
  void addReflowItem(RenderItem* item) override { reflowItems.push_back(item); }
  void endReflowLayout() override { ++reflowEnds; }

  int cancelAfter = 1 << 30;
  int cancelChecks = 0;
  std::vector<String> statusTexts;
  int repaints = 0;
  int extentWidth = 0, extentHeight = 0;
  bool reflow = false;
  int reflowBegins = 0, reflowEnds = 0;
  std::vector<RenderItem*> reflowItems;
};
