#pragma once

#include <atomic>
#include <cstdint>

#include "vwt/lang/LockObject.h"
#include "vwt/lang/String.h"

// One queued transfer, shared by the user-interface thread and the worker.
// The counts are atomic; the texts are guarded by the item's own lock, so
// either thread may read or write any field at any time.
class DownloadItem : public Object {
 public:
  explicit DownloadItem(const String& url);
  DownloadItem(const DownloadItem&) = delete;
  DownloadItem& operator=(const DownloadItem&) = delete;

  // "url<TAB>referer<TAB>cookie", empty pieces kept; a field's enclosing
  // double quotes are removed. The caller owns the result.
  static DownloadItem* fromItemString(const String& text);

  String getUrl() const;
  String getReferer() const;
  void setReferer(const String& referer);
  String getCookie() const;
  void setCookie(const String& cookie);
  // System::currentTimeMillisBoot() when the item was made.
  int64_t getStartTime() const { return startTime_; }
  // -1 while unknown.
  int64_t getTotalLength() const { return totalLength_.load(std::memory_order_relaxed); }
  void setTotalLength(int64_t length) { totalLength_.store(length, std::memory_order_relaxed); }
  int64_t getReceived() const { return received_.load(std::memory_order_relaxed); }
  void setReceived(int64_t received) { received_.store(received, std::memory_order_relaxed); }
  // Empty until the user has chosen where to save.
  String getSavePath() const;
  void setSavePath(const String& path);
  // The cleaned name the server suggested, empty when none.
  String getSuggestedName() const;
  void setSuggestedName(const String& name);

 private:
  mutable LockObject lock_;  // guards the texts
  String url_;
  std::atomic<int64_t> totalLength_;
  std::atomic<int64_t> received_;
  int64_t startTime_;
  String referer_;
  String cookie_;
  String savePath_;
  String suggestedName_;
};
