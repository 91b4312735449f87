#include "browser/menu/ErrorReport.h"

#include "browser/shell/UrlResolver.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/StringBuffer.h"
#include "vwt/lang/System.h"

namespace {
const char16_t DEFAULT_SERVICE_HOST[] = u"127.0.0.1";
}  // namespace

String ErrorReport::text(const String& context, const String& exceptionClass, const String& exceptionMessage,
                         const String& platform, const String& url) {
  String host;
  try {
    host = System::getProperty(u"service.host"_s);
  } catch (const Exception&) {
    // No property file: the report still goes out, with the default host.
  }
  if (host.length() == 0) host = String(DEFAULT_SERVICE_HOST, false);
  return text(context, exceptionClass, exceptionMessage, platform, url, host);
}

String ErrorReport::text(const String& context, const String& exceptionClass, const String& exceptionMessage,
                         const String& platform, const String& url, const String& serviceHost) {
  // The service's own pages stay out of a report the user may pass on.
  const bool hidden = url.length() > 0 && UrlResolver::isInternal(url, serviceHost);
  StringBuffer b;
  b.append(context).append(u":\n"_s);
  b.append(Resource::getString(10249)).append(u"Exception "_s).append(exceptionClass).append(u'\n');
  b.append(Resource::getString(10250)).append(exceptionMessage).append(u'\n');
  b.append(Resource::getString(10251))
      .append(platform)
      .append(u' ')
      .append(String(CLIENT_VERSION))
      .append(u'\n');
  b.append(u"URL:"_s).append(hidden ? String() : url);
  return b.toString();
}
