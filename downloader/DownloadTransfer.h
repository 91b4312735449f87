#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "vwt/lang/String.h"

class HttpConnection;
class ResumeRecord;
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
  // One request (redirects followed) and, when it answers with the file,
  // the copy of its body. *retryable is set while the body is being read:
  // a failure then is a dropped connection that another attempt may mend.
  Outcome attempt(bool* retryable);
  // A request for address, with Range and If-Range when from > 0.
  HttpConnection* open(const String& address, int64_t from, const ResumeRecord& record);
  // Makes connection the current request, seen by cancel(); the previous
  // one is closed and deleted.
  void setConnection(HttpConnection* connection);
  // Saves what the file needs to resume later, or removes the record when
  // the server gave no validator. asked: the record a part was asked with.
  void keepRecord(HttpConnection* connection, const ResumeRecord* asked, int64_t total);
  void reportHeaders(HttpConnection* connection, int64_t total);
  // Writes the body into the file from byte `from`.
  Outcome copyBody(HttpConnection* connection, int64_t from, int64_t total, bool* retryable);

  String url_, referer_, cookie_, path_;
  TransferListener* listener_;
  int retries_;
  std::atomic<bool> cancelled_;
  mutable std::mutex mutex_;    // guards connection_ and the texts below against other threads
  HttpConnection* connection_;  // the current request, owned
  std::atomic<int> statusCode_;
  String reasonPhrase_;
  std::atomic<int64_t> received_;
  std::atomic<int64_t> totalLength_;
  String suggestedName_;
  bool headersReported_;
};
