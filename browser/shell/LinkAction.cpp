#include "browser/shell/LinkAction.h"

#include "browser/shell/LinkHost.h"
#include "browser/shell/UrlResolver.h"
#include "vwt/net/URLEncoder.h"

namespace {

LinkAction make(LinkAction::Kind kind, const String& url) {
  LinkAction a;
  a.kind = kind;
  a.url = url;
  return a;
}

}  // namespace

LinkAction LinkAction::decide(const String& url, int linkFlags, int callerFlags, const MapPoint& mapPoint,
                              LinkHost* host) {
  if (url.startsWith(u"ftp:"_s) || url.startsWith(u"javascript:"_s)) {
    LinkAction a = make(NOT_SUPPORTED, url);
    a.messageId = MESSAGE_NOT_SUPPORTED;
    return a;
  }
  // Case matters: only this spelling is the service's back link.
  if (url.startsWith(u"JavaScript:back"_s)) return make(HISTORY_BACK, url);
  if (url.startsWith(u"tel:"_s)) return make(NOTHING, url);
  if (url.startsWith(u"mailto:"_s)) {
    String address = url.substring(7);
    return make(OPEN_OUTSIDE,
                host->serviceRoot() + u"/portal/mailto.jsp?cv=nb&mt=" + URLEncoder::encode(address));
  }
  if (linkFlags & LINK_OUTSIDE) return outside(url, linkFlags, host);

  if (callerFlags != 1 && host->isSamePageLink(url)) return make(JUMP, url);
  int flags = callerFlags;
  if ((linkFlags & LINK_NEW_WINDOW) && (host->windowOptions() & OPTION_NEW_WINDOWS)) flags |= OPEN_NEW_WINDOW;
  String target = url;
  if (mapPoint.on) target = ((target + u"?") + mapPoint.x + u",") + mapPoint.y;
  if (linkFlags & LINK_BIT1) flags |= OPEN_LINK_BIT1;
  LinkAction a = make(OPEN, target);
  String frame = host->frameUrl();
  a.referrer = frame.isNull() ? host->pageUrl() : frame;
  a.base = host->pageUrl();
  a.flags = flags;
  return a;
}

LinkAction LinkAction::outside(const String& url, int linkFlags, LinkHost* host) {
  String resolved = UrlResolver::resolve(host->pageUrl(), url);
  if (!(linkFlags & LINK_GATEWAY)) return make(OPEN_OUTSIDE, resolved);
  String gateway = host->serviceRoot() + u"/iemgateway.jsp" + UrlResolver::sessionPart(resolved);
  gateway = ((gateway + u"?user=") + host->userId() + u"&hc=") + String(host->identityText().hashCode());
  return make(OPEN_OUTSIDE, (gateway + u"&addr=") + URLEncoder::encode(resolved));
}
