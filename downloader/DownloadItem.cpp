#include "downloader/DownloadItem.h"

#include "vwt/lang/Lock.h"
#include "vwt/lang/System.h"
#include "vwt/lang/VectorV.h"

namespace {

// The browser sends every field in double quotes; the fields themselves
// never start and end with one.
String unquoted(const String& field) {
  int n = field.length();
  if (n >= 2 && field.charAt(0) == u'"' && field.charAt(n - 1) == u'"') return field.substring(1, n - 1);
  return field;
}

}  // namespace

DownloadItem::DownloadItem(const String& url)
    : url_(url), totalLength_(-1), received_(0), startTime_(System::currentTimeMillisBoot()) {}

DownloadItem* DownloadItem::fromItemString(const String& text) {
  VectorV<String> pieces;
  text.split(u'\t', false, &pieces);
  DownloadItem* item = new DownloadItem(pieces.size() > 0 ? unquoted(pieces.elementAt(0)) : String::null);
  if (pieces.size() > 1) item->setReferer(unquoted(pieces.elementAt(1)));
  if (pieces.size() > 2) item->setCookie(unquoted(pieces.elementAt(2)));
  return item;
}

String DownloadItem::getUrl() const {
  Lock held(&lock_);
  return url_;
}

String DownloadItem::getReferer() const {
  Lock held(&lock_);
  return referer_;
}

void DownloadItem::setReferer(const String& referer) {
  Lock held(&lock_);
  referer_ = referer;
}

String DownloadItem::getCookie() const {
  Lock held(&lock_);
  return cookie_;
}

void DownloadItem::setCookie(const String& cookie) {
  Lock held(&lock_);
  cookie_ = cookie;
}

String DownloadItem::getSavePath() const {
  Lock held(&lock_);
  return savePath_;
}

void DownloadItem::setSavePath(const String& path) {
  Lock held(&lock_);
  savePath_ = path;
}

String DownloadItem::getSuggestedName() const {
  Lock held(&lock_);
  return suggestedName_;
}

void DownloadItem::setSuggestedName(const String& name) {
  Lock held(&lock_);
  suggestedName_ = name;
}
