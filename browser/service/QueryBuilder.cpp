#include "browser/service/QueryBuilder.h"

#include "browser/shell/SessionCore.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Calendar.h"
#include "vwt/lang/Date.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Logger.h"
#include "vwt/lang/Phone.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/StringBuffer.h"
#include "vwt/lang/System.h"
#include "vwt/net/URLEncoder.h"

namespace {
String property(const String& key) {
  try {
    return System::getProperty(key);
  } catch (const Exception&) {
    return String::null;
  }
}

String enc(const String& s) { return URLEncoder::encode(s); }
}  // namespace

String QueryBuilder::sessionUrl() { return core_->getEndpoint() + core_->getSessionPart(); }

String QueryBuilder::buildKeyQuery() { return core_->getEndpoint() + u"?c=R"; }

String QueryBuilder::buildImageQuery(int blockIndex, int pageId, int pageNo) {
  String q = sessionUrl() + u"?c=I&r=" + pageId + u"&b=" + blockIndex + u"&pg=" + pageNo;
  if (core_->hasTransparentColor()) q = q + u"&tc";
  return q;
}

String QueryBuilder::buildFileQuery(int pageId, int pageNo) {
  return sessionUrl() + u"?c=F&r=" + pageId + u"&pg=" + pageNo;
}

int QueryBuilder::nextAccessCount() {
  AutoPtr<Calendar> now(Calendar::getInstance());
  now->set(now->get(Calendar::YEAR), now->get(Calendar::MONTH), now->get(Calendar::DAY_OF_MONTH), 0, 0, 0);
  now->set(Calendar::MILLISECOND, 0);
  int64_t midnight = now->getTime().getTime() / 1000;
  int first = core_->getSetting(3);
  int count = core_->getSetting(4);
  if (first < midnight) {
    core_->setSetting(3, static_cast<int>(System::currentTimeMillis() / 1000));
    count = 0;
  }
  ++count;
  Logger::debug(String(u"accessCount="_s) + count);
  core_->setSetting(4, count);
  core_->saveSettings();
  return count;
}

String QueryBuilder::userAgentText(int index) {
  String value = property(String(u"user-agent"_s) + index);
  int comma = value.indexOf(u',');
  return comma < 0 ? String() : value.substring(comma + 1);
}

String QueryBuilder::buildPageQuery(const PageRequest& r) {
  core_->reloadSettings();
  int flags = core_->getFlags();
  int userId = core_->getSetting(0);
  StringBuffer q;
  q.append(sessionUrl());
  String referrer;
  if (r.url.isNull()) {
    q.append(u"?c=H"_s);
    if (r.uploadId != 0) q.append(u"&fs="_s).append(String(r.uploadId));
    String home = core_->getStore().readString(RecordStore::HOME_URL, String());
    if (!home.isNull()) q.append(u"&h="_s).append(enc(home));
  } else {
    q.append(u"?c=H&u="_s).append(enc(r.url));
    if (!r.origin.isNull()) {
      q.append(u"&o="_s).append(enc(r.origin));
      referrer = r.origin;
    }
    if (!r.baseUrl.isNull()) {
      q.append(u"&bu="_s).append(enc(r.baseUrl));
      referrer = r.baseUrl;
    }
    String user, password, scheme;
    bool wasCancelled = core_->getDialogState() == SessionCore::DIALOG_CANCELLED;
    if (core_->findUrlCredentials(r.url, referrer, &user, &password, &scheme)) {
      q.append(u"&aid="_s).append(enc(user)).append(u"&apw="_s).append(enc(password));
      q.append(u"&at="_s).append(enc(scheme));
    } else if (wasCancelled) {
      q.append(u"&aid=&apw=&at=&aca=0"_s);
    }
    if (!r.postData.isNull()) q.append(u"&p="_s).append(enc(r.postData));
    if (core_->getCurrentPage() && !r.charset.isNull()) q.append(u"&ch="_s).append(r.charset);
    if ((flags & 0x8) || (r.options & 0x02)) q.append(u"&roff"_s);
    if (r.options & 0x04) q.append(u"&rl=1"_s);
    if (r.options & 0x08) q.append(u"&au="_s).append(Phone::getProperty(1, userId));
    if (r.options & 0x20) q.append(u"&gg=1"_s);
    if (r.uploadId != 0) q.append(u"&fs="_s).append(String(r.uploadId));
    if (core_->getSetting(1) == 0) q.append(u"&ac="_s).append(String(nextAccessCount()));
  }
  q.append(u"&ib="_s).append(String(userId));
  q.append(u"&ft="_s).append(String(core_->getSetting(1)));
  q.append(u"&bt="_s).append(String(core_->getSetting(5)));
  q.append(u"&id="_s).append(enc(Phone::getProperty(0)));
  q.append(u"&wd="_s).append(String(core_->getOffscreenWidth() - 4));
  q.append(u"&si=7"_s);
  q.append(u"&lq="_s).append(String((flags & 0x8000) ? u"0" : u"1", false));
  q.append(u"&ap=QKWM"_s);
  int language = core_->getSetting(12);
  q.append(u"&lid="_s).append(String(language != 0 ? language : Resource::getLanguageID()));
  q.append(u"&fl="_s).append(String((flags & 0x8000000) ? u"0" : u"1", false));
  if (!(flags & 0x10)) {
    String cookies = core_->getCookieStore().cookieText(r.url, referrer);
    if (!cookies.isNull()) q.append(u"&co="_s).append(enc(cookies));
  }
  q.append(u"&f"_s);
  if (!(flags & 0x80000)) q.append(u"&css"_s);
  if (flags & 0x20) q.append(u"&al"_s);
  const FontMetrics& metrics = core_->getFontMetrics();
  q.append(u"&fa="_s).append(String(metrics.ascent));
  q.append(u"&fb="_s).append(String(metrics.descent));
  q.append(u"&fh="_s).append(String(metrics.lineHeight));
  q.append(u"&fw="_s).append(String(metrics.wideCharWidth));
  if (!metrics.charWidths.isNull()) q.append(u"&cw="_s).append(metrics.charWidths);
  if (core_->hasTransparentColor()) q.append(u"&tc"_s);
  if (property(u"enquete"_s) == u"no") q.append(u"&skipenq=1"_s);
  String vendor = property(u"vendor"_s);
  if (!vendor.isNull()) q.append(u"&vdr="_s).append(vendor);
  if (flags & 0x200000) {
    q.append(u"&db=1"_s);
    core_->setFlags(core_->getFlags() & ~0x200000);
    Logger::debug(String(u"FLAG_REMOVE_BOOKMARK\u3042\u308a"_s));
  }
  if (r.options & 0x10) q.append(u"&st=1&asid="_s).append(property(u"z"_s));
  q.append(u"&vn="_s).append(String(CLIENT_VERSION));
  if (core_->getSetting(22) > 0) q.append(u"&ua="_s).append(enc(userAgentText(core_->getSetting(22))));
  return String(q);
}
