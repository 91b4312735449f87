#include "browser/shell/UrlResolver.h"

namespace {

bool isWebAddress(const String& url) { return url.startsWith(u"http://"_s) || url.startsWith(u"https://"_s); }

}  // namespace

String UrlResolver::resolve(const String& base, const String& relative) {
  if (isWebAddress(relative)) return relative;
  String b = base;
  int query = b.indexOf(u'?');
  if (query >= 0) b = b.substring(0, query);
  int schemeEnd = b.indexOf(u"://"_s);
  if (relative.isNull() || schemeEnd < 0) return b;
  schemeEnd += 3;
  String scheme = b.substring(0, schemeEnd);
  int slash = b.indexOf(u'/', schemeEnd);
  String host = slash < 0 ? b.substring(schemeEnd) : b.substring(schemeEnd, slash);
  String path = slash < 0 ? String(u"/"_s) : b.substring(slash);
  int cut = path.lastIndexOf(u'/') + 1;
  String directory = path.substring(0, cut);
  String file = path.substring(cut);
  int fragment = file.indexOf(u'#');
  if (fragment >= 0) file = file.substring(0, fragment);

  if (relative.charAt(0) == u'#') return scheme + host + directory + file + relative;
  if (relative.charAt(0) == u'/') return scheme + host + relative;
  int start = 0;
  while (relative.indexOf(u"./"_s, start) == start) start += 2;
  return scheme + host + directory + relative.substring(start);
}

String UrlResolver::joinQuery(const String& url, const String& base) {
  if (!url.startsWith(u"?"_s)) return url;
  int query = base.indexOf(u'?');
  return (query <= 0 ? base : base.substring(0, query)) + url;
}

String UrlResolver::sessionPart(const String& url) {
  static const String kKey = u"JSESSIONID%3D"_s;
  static const String kEnd = u"KOCAB"_s;
  String upper = url.toUpperCase();
  int p = upper.indexOf(kKey);
  if (p <= 0) return String();
  int q = upper.indexOf(kEnd, p + kKey.length());
  if (q < 0) return String();
  return u";jsessionid="_s + url.substring(p + kKey.length(), q + kEnd.length());
}

String UrlResolver::commandCookieUrl(const String& url, const String& menuText) {
  if (!url.startsWith(u"cmd:"_s) || url.length() <= 4) return url;
  char16_t marker = static_cast<char16_t>(url.charAt(4) + 44);
  int at = menuText.indexOf(marker);
  if (at < 0) return url;
  int colon = menuText.indexOf(u':', at);
  if (colon < 0 || colon + 2 > menuText.length()) return url;
  int comma = menuText.indexOf(u',', colon + 2);
  String host = comma < 0 ? menuText.substring(colon + 2) : menuText.substring(colon + 2, comma);
  return u"http://"_s + host;
}

bool UrlResolver::isInternal(const String& url, const String& serviceHost) {
  if (serviceHost.isNull()) return false;
  int schemeEnd = url.indexOf(u"://"_s);
  if (schemeEnd < 0) return false;
  int start = schemeEnd + 3;
  int end = start;
  while (end < url.length()) {
    char16_t c = url.charAt(end);
    if (c == u'/' || c == u':' || c == u'?' || c == u'#') break;
    ++end;
  }
  String host = url.substring(start, end);
  return host.equalsIgnoreCase(serviceHost) || host.equalsIgnoreCase(u"doc."_s + serviceHost) ||
         host.equalsIgnoreCase(u"m."_s + serviceHost);
}

String UrlResolver::secureHost(const String& url) {
  static const String kPrefix = u"https://"_s;
  if (!url.startsWith(kPrefix)) return String();
  int slash = url.indexOf(u'/', kPrefix.length());
  return slash < 0 ? url.substring(kPrefix.length()) : url.substring(kPrefix.length(), slash);
}

String UrlResolver::outsideUrl(const String& url, const String& pageUrl) {
  if (isWebAddress(url) || pageUrl.isNull()) return url;
  return pageUrl.substring(0, pageUrl.lastIndexOf(u'/') + 1) + url;
}
