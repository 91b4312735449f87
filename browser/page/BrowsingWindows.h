#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "browser/page/Page.h"
#include "browser/page/SharedPtr.h"
#include "browser/page/Stack.h"

class RecordStore;

// The browser windows: each a back/forward history of pages, the position
// in it (-1 while it is empty) and its creation time in seconds. There is
// always at least one window and at most MAX_WINDOWS. Not locked: the
// session core guards it with its page lock.
class BrowsingWindows {
 public:
  static const int MAX_WINDOWS = 16;

  // One empty window, created at now (seconds), current.
  explicit BrowsingWindows(int64_t now);
  BrowsingWindows(const BrowsingWindows&) = delete;
  BrowsingWindows& operator=(const BrowsingWindows&) = delete;

  int getCount() const { return static_cast<int>(windows_.size()); }
  int getCurrent() const { return current_; }
  void setCurrent(int index);

  // Of window w (the current one when w is -1).
  int getHistorySize(int w = -1) const;
  int getPosition(int w = -1) const;
  int64_t getCreated(int w = -1) const;
  // History entry i of window w; empty outside the history.
  SharedPtr<Page> getPage(int i, int w = -1) const;
  // The entry at the current window's position; empty when it has none.
  SharedPtr<Page> getCurrentEntry() const;
  void setPosition(int position);

  // A loaded page in the current window: a new entry after the position
  // (the entries ahead of it are dropped), or in place of the entry at the
  // position when newEntry is false and there is one.
  void enterPage(const SharedPtr<Page>& page, bool newEntry);

  // A new empty window, made current: appended while there are fewer than
  // MAX_WINDOWS, else in place of the oldest one (the first of equal age).
  // Returns its index.
  int openWindow(int64_t now);
  // Removes window w when more than one exists; true when the current
  // window is now another one.
  bool closeWindow(int w);

  // Every page kept by the windows, other windows' first, then the current
  // window's; the caller frees their caches in that order.
  std::vector<SharedPtr<Page>> pagesByEviction() const;

  // The window list under its record: a row ("", current index) and then
  // one row per window (URL of the page at its position or "", created).
  // The pages themselves are not kept; a restored window holds one page
  // with the URL only, which shows by requesting it again.
  void save(RecordStore& store) const;
  // False (and the list unchanged) when there is no usable record.
  bool restore(RecordStore& store);

 private:
  struct Window {
    Stack<SharedPtr<Page>*> history;
    int position = -1;
    int64_t created = 0;
  };
  const Window& at(int w) const { return *windows_[w < 0 ? current_ : w]; }

  std::vector<std::unique_ptr<Window>> windows_;
  int current_;
};
