#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "vwt/lang/String.h"

class HttpConnection;
class TransferListener;

// One file fetched over http or https into a local path, on the caller's
// thread. An interrupted transfer resumes from the end of the file when the
// server can send the rest of the same file.
class DownloadTransfer {
 public:
  enum Outcome { DONE = 1, CANCELLED = 2, HTTP_ERROR = 3 };

  DownloadTransfer(const String& url, const String& referer, const String& cookie, const String& path);
  ~DownloadTransfer();
  DownloadTransfer(const DownloadTransfer&) = delete;
  DownloadTransfer& operator=(const DownloadTransfer&) = delete;

  void setListener(TransferListener* listener);  // not owned
  // Attempts after a dropped connection (each resumes when it can); default 3.
  void setRetries(int retries);
  // GET with user agent "WindowsMobile", Referer and Cookie always sent
  // (empty values kept), redirects (301/302/303/307/308, at most 5)
  // followed. Resumes from the end of the path with Range + If-Range when a
  // resume record holds a validator for the same URL; a 200 answer starts
  // over. DONE when the body is complete; HTTP_ERROR for status >= 400;
  // CANCELLED after cancel(). Throws Exception for a failure the retries
  // did not mend. Keeps the resume record while the file is partial,
  // removes it when DONE.
  Outcome run();
  // Any thread; wakes a blocked read.
  void cancel();
  int getStatusCode() const;
  String getReasonPhrase() const;
  int64_t getReceived() const;
  int64_t getTotalLength() const;
  // Cleaned.
  String getSuggestedName() const;

 private:
  String url_, referer_, cookie_, path_;
  TransferListener* listener_;
  int retries_;
  std::atomic<bool> cancelled_;
  std::mutex connectionMutex_;  // guards connection_ against cancel() from another thread
  HttpConnection* connection_;  // the current request's, owned by run()
  int statusCode_;
  String reasonPhrase_;
  std::atomic<int64_t> received_;
  std::atomic<int64_t> totalLength_;
  String suggestedName_;
};
