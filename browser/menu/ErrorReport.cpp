#include "browser/menu/ErrorReport.h"

#include "browser/shell/UrlResolver.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/StringBuffer.h"
#include "vwt/lang/System.h"

String ErrorReport::text(const String& context, const String& exceptionClass, const String& exceptionMessage,
                         const String& platform, const String& url) {
  String host = System::getProperty(u"service.host"_s);
  if (host.length() == 0) host = u"127.0.0.1"_s;
  // The service's own pages stay out of a report the user may pass on.
  const bool hidden = url.length() > 0 && UrlResolver::isInternal(url, host);
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
