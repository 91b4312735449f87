#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "browser/page/InteractionHost.h"
#include "browser/page/Page.h"
#include "browser/page/ReflowLayout.h"
#include "browser/page/RenderItem.h"

// A canvas for the page interaction: fixed sizes and settings the test sets, a clock the test
// moves, and a record of everything the interaction asked for.
class FakeInteractionHost : public InteractionHost {
 public:
  FakeInteractionHost() {
    geometryValue.viewWidth = 240;
    geometryValue.viewHeight = 320;
    geometryValue.pageWidth = 1000;
    geometryValue.pageHeight = 3000;
    geometryValue.pageLineHeight = 12;
    geometryValue.interfaceLineHeight = 12;
  }

  Page* page() override { return pageValue; }
  std::mutex& pageLock() override { return lock; }
  ReflowLayout* reflowLayout() override { return layout; }
  ViewGeometry geometry() override { return geometryValue; }
  int zoom() override { return zoomValue; }
  int canvasFlags() override { return flags; }
  int orientation() override { return orientationValue; }
  int64_t now() override { return time; }
  void startTicks() override { ticking = true; }
  void stopTicks() override { ticking = false; }
  void scrollTo(int x, int y) override {
    scrollX = x;
    scrollY = y;
  }
  void repaint(bool wholePage) override { (wholePage ? wholeRepaints : repaints)++; }
  void followLink(RenderItem* linkOrArea, int pointerX, int pointerY) override {
    followed.push_back(linkOrArea);
    followX = pointerX;
    followY = pointerY;
  }
  void submitForm(RenderItem* form, const String& fields) override {
    submitted = form;
    submittedFields = fields;
    ++submits;
  }
  void historyStep(int offset) override { historySteps.push_back(offset); }
  int historyPosition() override { return position; }
  void openTextEntry(const String& text, int imeMode, int maxLength, bool multiLine) override {
    entryText = text;
    entryMode = imeMode;
    entryLength = maxLength;
    entryMultiLine = multiLine;
    ++textEntries;
  }
  void openMainMenu() override { ++mainMenus; }
  void openLinkMenu() override { ++linkMenus; }
  void openFileMenu(RenderItem* uploadControl) override { fileMenuControl = uploadControl; }
  bool commandKey(int key) override {
    commandKeys.push_back(key);
    return true;
  }
  bool overlayOpen() override { return overlay; }
  bool overlayKey(int type, int key) override {
    overlayKeys.push_back(type * 1000 + key);
    return true;
  }
  bool overlayTap(int x, int y) override {
    overlayTaps.push_back(x * 10000 + y);
    return true;
  }
  bool statusBarTap(int, int) override { return false; }
  bool movieAt(int, int) override { return movie; }
  Vector<RenderItem*>* pageOverlays() override { return &overlays; }

  std::mutex lock;
  Page* pageValue = nullptr;
  ReflowLayout* layout = nullptr;
  ViewGeometry geometryValue;
  int zoomValue = 100;
  int flags = 0;
  int orientationValue = 0;
  int64_t time = 1000;
  bool ticking = false;
  int scrollX = -1, scrollY = -1;
  int repaints = 0, wholeRepaints = 0;
  std::vector<RenderItem*> followed;
  int followX = -1, followY = -1;
  RenderItem* submitted = nullptr;
  String submittedFields;
  int submits = 0;
  std::vector<int> historySteps;
  int position = 0;
  String entryText;
  int entryMode = -1, entryLength = -1;
  bool entryMultiLine = false;
  int textEntries = 0;
  int mainMenus = 0, linkMenus = 0;
  RenderItem* fileMenuControl = nullptr;
  std::vector<int> commandKeys;
  bool overlay = false;
  std::vector<int> overlayKeys, overlayTaps;
  bool movie = false;
  Vector<RenderItem*> overlays{false};
};
