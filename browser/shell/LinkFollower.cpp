#include "browser/shell/LinkFollower.h"

#include <mutex>

#include "browser/page/ImageMapPoint.h"
#include "browser/page/Page.h"
#include "browser/page/RenderItem.h"
#include "browser/service/CipherManager.h"
#include "browser/shell/LinkAction.h"
#include "browser/shell/SessionCore.h"
#include "browser/shell/UrlResolver.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Phone.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/System.h"
#include "vwt/ui/Application.h"

namespace {

const int OPEN_MARK = 0x10;

// The host part of "scheme://host[:port]/..." (without the port).
String hostOf(const String& address) {
  int start = address.indexOf(u"://"_s);
  if (start < 0) return String();
  start += 3;
  int end = address.indexOf(u'/', start);
  String host = end < 0 ? address.substring(start) : address.substring(start, end);
  int colon = host.indexOf(u':');
  return colon < 0 ? host : host.substring(0, colon);
}

}  // namespace

LinkFollower::LinkFollower(SessionCore* core, Actions actions)
    : core_(core), actions_(std::move(actions)), clock_([] { return System::currentTimeMillis(); }) {}

std::function<void(const String& url)> LinkFollower::desktopBrowser(SessionCore* core) {
  return [core](const String& url) {
    try {
      Application* app = Application::getCurrentApp();
      if (!app) throw Exception(Resource::getString(-1203));
      app->launch(Application::LAUNCH_BROWSER, url);
    } catch (const Exception& e) {
      core->queueInformation(String(), e.getRawMessage());
    }
  };
}

void LinkFollower::setClock(std::function<int64_t()> clock) { clock_ = std::move(clock); }

void LinkFollower::follow(RenderItem* linkOrArea, int pointerX, int pointerY, int zoom, int callerFlags) {
  if (!linkOrArea || zoom <= 0) return;
  String url;
  int linkFlags = 0;
  LinkAction::MapPoint point;
  String frame;
  bool reflow = core_->isReflowMode();
  {
    // The item is read under the lock and only while it still belongs to the page on screen.
    SharedPtr<Page> page = core_->getCurrentPage();
    std::lock_guard<std::mutex> g(core_->pageLock());
    if (!page || !page->structure || page->structure->indexOf(linkOrArea) < 0) return;
    if (linkOrArea->type == RenderItem::AREA) {
      url = linkOrArea->text;
    } else if (linkOrArea->type == RenderItem::LINK) {
      url = linkOrArea->text;
      linkFlags = linkOrArea->flags;
      point = mapPoint(linkOrArea, pointerX, pointerY, zoom, reflow);
    } else {
      return;
    }
    frame = page->getFrameUrl(linkOrArea);
  }
  frameUrl_ = frame;
  LinkAction action = LinkAction::decide(url, linkFlags, callerFlags, point, this);
  frameUrl_ = String();

  switch (action.kind) {
    case LinkAction::NOT_SUPPORTED:
      core_->queueInformation(String(), Resource::getString(action.messageId) + action.url);
      break;
    case LinkAction::HISTORY_BACK:
      core_->historyStep(-1);
      break;
    case LinkAction::NOTHING:
      break;
    case LinkAction::OPEN_OUTSIDE:
      if (actions_.openOutside) actions_.openOutside(UrlResolver::outsideUrl(action.url, pageUrl()));
      break;
    case LinkAction::JUMP:
      jump(action.url, zoom);
      break;
    case LinkAction::OPEN:
      open(action.url, action.referrer, action.base, String(), String(), action.flags);
      break;
  }
}

LinkAction::MapPoint LinkFollower::mapPoint(RenderItem* link, int pointerX, int pointerY, int zoom,
                                            bool reflow) {
  LinkAction::MapPoint point;
  point.on = ImageMapPoint::find(link, pointerX, pointerY, zoom, reflow, &point.x, &point.y);
  return point;
}

void LinkFollower::jump(const String& url, int zoom) {
  int x = 0;
  int y = core_->findAnchor(url, &x);
  if (!actions_.showPoint) return;
  if (y >= 0 && core_->isReflowMode()) {
    actions_.showPoint(x, y);  // the layout is already at the zoom
  } else if (y >= 0) {
    actions_.showPoint(static_cast<int>(static_cast<int64_t>(x) * zoom / 100),
                       static_cast<int>(static_cast<int64_t>(y) * zoom / 100));
  } else if (url.indexOf(u"#top"_s) >= 0) {
    actions_.showPoint(0, 0);
  }
}

void LinkFollower::open(const String& url, const String& referrer, const String& base, const String& postData,
                        const String& extra, int flags) {
  if (!core_->bringUpConnection()) {
    core_->setStatusText(String());
    return;
  }
  core_->cancel();
  if (url.startsWith(u"https://") && !referrer.startsWith(u"https://")) {
    String host = UrlResolver::secureHost(url);
    if (!host.equals(secureHost_)) {
      // A new secure host gets a session key of its own.
      secureHost_ = host;
      core_->getCipherManager().newSessionKey();
      if (core_->startSession(false) == 1) core_->getCipherManager().save();
    }
  }
  bool internal = UrlResolver::isInternal(url, hostOf(serviceRoot()));
  core_->setStatusText(Resource::getString(MESSAGE_OPENING) + (internal ? u"vesk"_s : url));
  bool reload = !base.isNull() && url.equals(base);
  String target = UrlResolver::joinQuery(url, base);
  bool newWindow = flags & LinkAction::OPEN_NEW_WINDOW;
  if (newWindow) core_->openWindow();
  int64_t now = clock_();
  if (now - core_->lastStatsTime() > MARK_INTERVAL_MS) {
    flags |= OPEN_MARK;
    core_->setLastStatsTime(now);
  }
  core_->startPageRequest(target, referrer, base, newWindow || !reload, postData, extra, flags);
}

String LinkFollower::pageUrl() { return core_->getCurrentPageUrl(); }

String LinkFollower::frameUrl() { return frameUrl_; }

String LinkFollower::serviceRoot() {
  String endpoint = core_->getEndpoint();
  int start = endpoint.indexOf(u"://"_s);
  int path = start < 0 ? -1 : endpoint.indexOf(u'/', start + 3);
  return path < 0 ? endpoint : endpoint.substring(0, path);
}

int LinkFollower::windowOptions() { return core_->getSetting(13); }

String LinkFollower::userId() { return String(core_->getSetting(0)); }

String LinkFollower::identityText() { return Phone::getProperty(0); }

bool LinkFollower::isSamePageLink(const String& url) { return core_->isSamePageLink(url, frameUrl_); }
