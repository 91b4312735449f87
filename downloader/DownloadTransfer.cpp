#include "downloader/DownloadTransfer.h"

#include <filesystem>
#include <system_error>

#include "downloader/ContentDisposition.h"
#include "downloader/ResumeRecord.h"
#include "downloader/SafeFileName.h"
#include "downloader/TransferListener.h"
#include "vwt/io/Connector.h"
#include "vwt/io/File.h"
#include "vwt/io/FileOutputStream.h"
#include "vwt/io/InputStream.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"
#include "vwt/net/HttpConnection.h"
#include "vwt/net/URL.h"

namespace {

const int MAX_REDIRECTS = 5;
// Reads ask for this much; the response stream then reads straight into the buffer.
const int CHUNK_BYTES = 4096;
// A server that has not answered a request in this time will not. The body
// has no such limit: each limited read would cost a wait call more, and
// cancel() ends a stalled body.
const int ANSWER_MS = 60000;

// A decimal byte count from the network: -1 unless it is all digits and fits.
int64_t parseCount(const String& text) {
  String t = text.trim();
  int n = t.length();
  if (n == 0 || n > 18) return -1;
  int64_t value = 0;
  for (int i = 0; i < n; ++i) {
    char16_t c = t.charAt(i);
    if (c < u'0' || c > u'9') return -1;
    value = value * 10 + (c - u'0');
  }
  return value;
}

// "bytes FIRST-LAST/TOTAL", TOTAL possibly "*" (then -1); false when malformed.
bool parseContentRange(const String& value, int64_t* first, int64_t* total) {
  String t = value.trim();
  if (!t.startsWithIgnoreCase(u"bytes "_s)) return false;
  t = t.substring(6).trim();
  int dash = t.indexOf(u'-');
  int slash = t.indexOf(u'/');
  if (dash <= 0 || slash < dash) return false;
  *first = parseCount(t.substring(0, dash));
  int64_t last = parseCount(t.substring(dash + 1, slash));
  String totalText = t.substring(slash + 1).trim();
  *total = totalText.equals(u"*") ? -1 : parseCount(totalText);
  if (*first < 0 || last < *first) return false;
  return totalText.equals(u"*") || *total > last;
}

bool isRedirect(int code) { return code == 301 || code == 302 || code == 303 || code == 307 || code == 308; }

// "scheme://host" with ":port" when the port is not the scheme's own.
String origin(const URL& url) {
  String text = (url.getProtocol() + u"://"_s) + url.getHost();
  if (url.getPort() != url.getDefaultPort()) text = (text + u':') + url.getPort();
  return text;
}

// A Location value resolved against the address that answered with it.
String resolve(const String& base, const String& target) {
  // A fragment names a place in the document, never part of the request.
  int hash = target.indexOf(u'#');
  String location = hash < 0 ? target : target.substring(0, hash);
  if (location.startsWithIgnoreCase(u"http://"_s) || location.startsWithIgnoreCase(u"https://"_s))
    return location;
  URL url(base);
  if (location.startsWith(u"//")) return (url.getProtocol() + u':') + location;
  if (location.startsWith(u"/")) return origin(url) + location;
  if (location.startsWith(u"?")) return (origin(url) + url.getPath()) + location;
  return (origin(url) + url.getDirectory()) + location;
}

int64_t fileSize(const String& path) {
  std::error_code error;
  uintmax_t size = std::filesystem::file_size(File::toNativePath(path), error);
  return error ? -1 : static_cast<int64_t>(size);
}

// The If-Range value for a record: a strong ETag, else the Last-Modified
// date; null when neither can ask for the same file (a weak ETag cannot).
String ifRangeValue(const ResumeRecord& record) {
  if (!record.etag.isNull() && !record.etag.startsWith(u"W/")) return record.etag;
  return record.lastModified;
}

String header(HttpConnection* connection, const String& name) {
  return connection->getHeaderFieldIgnoreCase(name);
}

}  // namespace

DownloadTransfer::DownloadTransfer(const String& url, const String& referer, const String& cookie,
                                   const String& path)
    : url_(url),
      referer_(referer),
      cookie_(cookie),
      path_(path),
      listener_(nullptr),
      retries_(3),
      cancelled_(false),
      connection_(nullptr),
      statusCode_(0),
      received_(0),
      totalLength_(-1),
      headersReported_(false) {}

DownloadTransfer::~DownloadTransfer() { setConnection(nullptr); }

void DownloadTransfer::setListener(TransferListener* listener) { listener_ = listener; }

void DownloadTransfer::setRetries(int retries) { retries_ = retries > 0 ? retries : 0; }

DownloadTransfer::Outcome DownloadTransfer::run() {
  int failures = 0;
  for (;;) {
    bool retryable = false;
    try {
      Outcome outcome = attempt(&retryable);
      setConnection(nullptr);
      if (outcome == DONE) ResumeRecord::remove(path_);
      return outcome;
    } catch (const Exception&) {
      setConnection(nullptr);
      if (cancelled_) return CANCELLED;
      if (!retryable || failures >= retries_) throw;
      ++failures;
    }
  }
}

DownloadTransfer::Outcome DownloadTransfer::attempt(bool* retryable) {
  // A partial file resumes only when its record can ask for the same file.
  ResumeRecord record;
  int64_t from = 0;
  if (record.load(path_) && record.url.equals(url_) && !ifRangeValue(record).isNull()) {
    int64_t size = fileSize(path_);
    if (size > 0) from = size;
  }
  String address = url_;
  int redirects = 0;
  for (;;) {
    if (cancelled_) return CANCELLED;
    setConnection(open(address, from, record));
    HttpConnection* connection = connection_;  // only this thread replaces it
    if (cancelled_) return CANCELLED;
    connection->connect();
    if (cancelled_) return CANCELLED;
    int code = connection->getResponseCode();
    if (isRedirect(code)) {
      String location = header(connection, u"Location"_s);
      if (location.isNull()) throw Exception(Resource::getString(21009, address));
      if (++redirects > MAX_REDIRECTS)
        throw Exception(Resource::getString(21008, String(MAX_REDIRECTS), url_));
      address = resolve(address, location);
      continue;
    }
    statusCode_ = code;
    {
      std::lock_guard<std::mutex> held(mutex_);
      reasonPhrase_ = connection->getResponseMessage();
    }
    if (code == 416 && from > 0) {
      // The partial file no longer fits the file on the server: start over.
      from = 0;
      continue;
    }
    if (code >= 400) return HTTP_ERROR;

    int64_t length = connection->isChunked() ? -1 : parseCount(header(connection, u"Content-Length"_s));
    int64_t total = length;
    if (code == 206) {
      int64_t first = -1, full = -1;
      bool valid = parseContentRange(header(connection, u"Content-Range"_s), &first, &full);
      if (from == 0) throw Exception(Resource::getString(21010, address));
      if (!valid || first != from) {
        // Not the rest of this file: ask for all of it.
        from = 0;
        continue;
      }
      total = full >= 0 ? full : length >= 0 ? from + length : -1;
    } else {
      // Any full answer replaces what the file held.
      from = 0;
    }
    keepRecord(connection, code == 206 ? &record : nullptr, total);
    reportHeaders(connection, total);
    return copyBody(connection, from, total, retryable);
  }
}

HttpConnection* DownloadTransfer::open(const String& address, int64_t from, const ResumeRecord& record) {
  URL url(address);
  if (url.getProtocolType() != URL::HTTP && url.getProtocolType() != URL::HTTPS)
    throw Exception(Resource::getString(21012, address));
  Connection* opened = Connector::open(address, Connector::READ);
  HttpConnection* connection = dynamic_cast<HttpConnection*>(opened);
  if (!connection) {
    delete opened;
    throw Exception(Resource::getString(21012, address));
  }
  connection->setTimeouts(ANSWER_MS, 0);
  connection->setRequestMethod(u"GET"_s);
  connection->setUserAgent(u"WindowsMobile"_s);
  connection->setRequestProperty(u"Referer"_s, referer_);
  // The browser's cookie belongs to the page's host, not to wherever a redirect leads.
  bool sameHost = url.getHost().equalsIgnoreCase(URL(url_).getHost());
  connection->setRequestProperty(u"Cookie"_s, sameHost ? cookie_ : String::null);
  if (from > 0) {
    connection->setRequestProperty(u"Range"_s, (u"bytes="_s + from) + u'-');
    connection->setRequestProperty(u"If-Range"_s, ifRangeValue(record));
  }
  return connection;
}

void DownloadTransfer::setConnection(HttpConnection* connection) {
  HttpConnection* old;
  {
    std::lock_guard<std::mutex> held(mutex_);
    old = connection_;
    connection_ = connection;
  }
  // Nobody else reaches the old one now.
  if (old) {
    try {
      old->close();
    } catch (const Exception&) {
    }
    delete old;
  }
}

void DownloadTransfer::keepRecord(HttpConnection* connection, const ResumeRecord* asked, int64_t total) {
  ResumeRecord record;
  record.url = url_;
  record.etag = header(connection, u"ETag"_s);
  record.lastModified = header(connection, u"Last-Modified"_s);
  // A part may come without its validator; it is still the file that was asked for.
  if (asked && ifRangeValue(record).isNull()) {
    record.etag = asked->etag;
    record.lastModified = asked->lastModified;
  }
  record.totalLength = total;
  if (ifRangeValue(record).isNull()) {
    ResumeRecord::remove(path_);
    return;
  }
  try {
    record.save(path_);
  } catch (const Exception&) {
    // Without a record the file cannot resume later; the transfer itself goes on.
    ResumeRecord::remove(path_);
  }
}

void DownloadTransfer::reportHeaders(HttpConnection* connection, int64_t total) {
  totalLength_ = total;
  String name =
      SafeFileName::clean(ContentDisposition::fileName(header(connection, u"Content-Disposition"_s)));
  {
    std::lock_guard<std::mutex> held(mutex_);
    suggestedName_ = name;
  }
  if (headersReported_) return;
  headersReported_ = true;
  if (listener_) listener_->headersArrived(name, total);
}

DownloadTransfer::Outcome DownloadTransfer::copyBody(HttpConnection* connection, int64_t from, int64_t total,
                                                     bool* retryable) {
  FileOutputStream out(path_, from > 0);
  connection->setTimeouts(0, 0);
  InputStream* in = connection->openInputStream();
  char buffer[CHUNK_BYTES];
  int64_t received = from;
  received_ = received;
  while (total < 0 || received < total) {
    int want = CHUNK_BYTES;
    if (total >= 0 && total - received < want) want = static_cast<int>(total - received);
    *retryable = true;
    int n = in->read(buffer, 0, want);
    *retryable = false;
    if (n < 0) break;
    if (cancelled_) return CANCELLED;
    if (n == 0) continue;
    out.write(buffer, 0, n);
    received += n;
    received_ = received;
    if (listener_) listener_->progressed(received);
  }
  if (received < total) {
    *retryable = true;
    throw Exception(Resource::getString(21011, String(received), String(total)));
  }
  out.close();
  return DONE;
}

void DownloadTransfer::cancel() {
  cancelled_ = true;
  std::lock_guard<std::mutex> held(mutex_);
  if (connection_) connection_->abort();
}

int DownloadTransfer::getStatusCode() const { return statusCode_; }

String DownloadTransfer::getReasonPhrase() const {
  std::lock_guard<std::mutex> held(mutex_);
  return reasonPhrase_;
}

int64_t DownloadTransfer::getReceived() const { return received_; }

int64_t DownloadTransfer::getTotalLength() const { return totalLength_; }

String DownloadTransfer::getSuggestedName() const {
  std::lock_guard<std::mutex> held(mutex_);
  return suggestedName_;
}
