#include "browser/service/CookieStore.h"

#include "browser/store/RecordStore.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Integer.h"
#include "vwt/lang/StringBuffer.h"
#include "vwt/lang/System.h"
#include "vwt/platform/Text.h"

namespace {

const String ROW_TYPE = u"SSSII"_s;

int64_t systemSeconds() { return System::currentTimeMillis() / 1000; }

String withoutPort(const String& host) {
  int colon = host.indexOf(u':');
  return colon >= 0 ? host.substring(0, colon) : host;
}

String asPlainHttp(const String& address) {
  return address.startsWith(u"https://"_s) ? u"http://"_s + address.substring(8) : address;
}

}  // namespace

CookieStore::CookieStore(RecordStore* store)
    : store_(store), loaded_(false), dirty_(false), clock_(systemSeconds) {}

void CookieStore::loadPersistent() {
  // Unsaved rows are the newer truth: never read them away.
  if (dirty_ || !store_) {
    loaded_ = true;
    return;
  }
  persistent_.clear();
  AutoPtr<Vector<Object*>> record(store_->readRecord(RecordStore::COOKIES, ROW_TYPE));
  for (int i = 0; record && i + 4 < record->size(); i += 5) {
    String* scope = dynamic_cast<String*>(record->elementAt(i));
    String* name = dynamic_cast<String*>(record->elementAt(i + 1));
    String* value = dynamic_cast<String*>(record->elementAt(i + 2));
    Integer* expiry = dynamic_cast<Integer*>(record->elementAt(i + 3));
    Integer* flags = dynamic_cast<Integer*>(record->elementAt(i + 4));
    if (scope && name && value && expiry && flags)
      persistent_.push_back(Row{*scope, *name, *value, expiry->intValue(), flags->intValue()});
  }
  loaded_ = true;
}

int CookieStore::persistentCount() {
  if (!loaded_) loadPersistent();
  return static_cast<int>(persistent_.size());
}

void CookieStore::removeMatching(std::vector<Row>& rows, const String& scope, const String& name) {
  for (size_t i = 0; i < rows.size();) {
    if (rows[i].scope.equals(scope) && rows[i].name.equals(name))
      rows.erase(rows.begin() + static_cast<long>(i));
    else
      ++i;
  }
}

void CookieStore::storeCookie(const String& domain, const String& path, const String& name,
                              const String& value, int lifetime, int flags) {
  String scope = (domain + u';') + path;
  bool persistent = lifetime != 0;
  if (persistent) loadPersistent();
  std::vector<Row>& target = persistent ? persistent_ : session_;
  removeMatching(target, scope, name);
  if (lifetime >= 0) {
    int64_t expiry = persistent ? clock_() + lifetime : 0;
    target.push_back(
        Row{scope, name, value, static_cast<int>(expiry > INT32_MAX ? INT32_MAX : expiry), flags});
  }
  if (persistent) dirty_ = true;
}

void CookieStore::appendRow(Vector<Object*>* record, const Row& r) {
  record->addElement(new String(r.scope));
  record->addElement(new String(r.name));
  record->addElement(new String(r.value));
  record->addElement(new Integer(r.expiry));
  record->addElement(new Integer(r.flags));
}

int CookieStore::rowBytes(const Row& r) {
  Vector<Object*> one(true);
  appendRow(&one, r);
  return RecordStore::recordSize(one, ROW_TYPE) - RecordStore::recordSize(Vector<Object*>(true), ROW_TYPE);
}

void CookieStore::saveCookies() {
  if (!loaded_) loadPersistent();
  int total = RecordStore::recordSize(Vector<Object*>(true), ROW_TYPE);
  std::vector<int> sizes;
  for (const Row& r : persistent_) {
    sizes.push_back(rowBytes(r));
    total += sizes.back();
  }
  size_t oldest = 0;
  while (oldest < persistent_.size() && total > MAX_RECORD_BYTES) total -= sizes[oldest++];
  persistent_.erase(persistent_.begin(), persistent_.begin() + static_cast<long>(oldest));
  dirty_ = false;
  if (!store_) return;
  Vector<Object*> record(true);
  for (const Row& r : persistent_) appendRow(&record, r);
  store_->writeRecord(RecordStore::COOKIES, record, ROW_TYPE);
}

void CookieStore::clear() {
  session_.clear();
  persistent_.clear();
  loaded_ = true;
  saveCookies();
}

bool CookieStore::matches(const String& scope, const String& host, const String& path) {
  int semicolon = scope.indexOf(u';');
  if (semicolon < 0) return false;
  String domain = scope.substring(0, semicolon);
  String cookiePath = scope.substring(semicolon + 1);
  if (domain.startsWith(u"."_s)) domain = domain.substring(1);
  if (domain.isNull()) return false;
  bool hostMatches =
      host.equalsIgnoreCase(domain) || (host.length() > domain.length() && host.endsWithIgnoreCase(domain) &&
                                        host.charAt(host.length() - domain.length() - 1) == u'.');
  return hostMatches && path.startsWith(cookiePath);
}

String CookieStore::mapCommandUrl(const String& url, const String& letters) {
  if (!url.startsWith(u"cmd:"_s) || url.length() <= 4) return url;
  int at = letters.indexOf(static_cast<char16_t>(url.charAt(4) + 44));
  if (at < 0) return url;
  int colon = letters.indexOf(u':', at);
  if (colon < 0) return url;
  int end = letters.indexOf(u',', colon + 2);
  return u"http://"_s + letters.substring(colon + 2, end < 0 ? letters.length() : end);
}

String CookieStore::cookieText(const String& url, const String& referrer) {
  // A secure address looks its cookies up as the plain one; only other
  // schemes fall back to the referring page.
  String address = asPlainHttp(mapCommandUrl(url, commandLetters_));
  if (!address.startsWith(u"http://"_s)) address = asPlainHttp(referrer);
  if (!address.startsWith(u"http://"_s)) return String::null;
  int slash = address.indexOf(u'/', 7);
  String host = withoutPort(slash >= 0 ? address.substring(7, slash) : address.substring(7));
  String path = slash >= 0 ? address.substring(slash) : u"/"_s;

  int64_t now = clock_();
  StringBuffer text;
  for (const Row& r : session_)
    if (matches(r.scope, host, path)) text.append(r.name).append(u'=').append(r.value).append(u"; "_s);
  loadPersistent();
  for (size_t i = 0; i < persistent_.size();) {
    const Row& r = persistent_[i];
    if (r.expiry != 0 && r.expiry <= now) {
      persistent_.erase(persistent_.begin() + static_cast<long>(i));
      continue;
    }
    if (matches(r.scope, host, path)) text.append(r.name).append(u'=').append(r.value).append(u"; "_s);
    ++i;
  }
  String result = text.toString();
  if (result.length() < 3) return String::null;
  return result.substring(0, result.length() - 2);
}
