#include "browser/shell/LinkFollower.h"

#include <mutex>

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

const int IMAGE_MAP = 0x10;
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

bool contains(const RenderItem* item, int x, int y) {
  return x >= item->x && y >= item->y && x < item->x + item->width && y < item->y + item->height;
}

// The point (x, y) relative to the corner (left, top), scaled by the fractions given.
LinkAction::MapPoint onImage(int left, int top, int x, int y, int wNum, int wDen, int hNum, int hDen) {
  LinkAction::MapPoint point;
  point.on = true;
  point.x = static_cast<int>(static_cast<int64_t>(x - left) * wNum / wDen);
  point.y = static_cast<int>(static_cast<int64_t>(y - top) * hNum / hDen);
  return point;
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
  int px = static_cast<int>(static_cast<int64_t>(pointerX) * 100 / zoom);
  int py = static_cast<int>(static_cast<int64_t>(pointerY) * 100 / zoom);
  for (int i = 0; link->refs && i < link->refs->size(); ++i) {
    RenderItem* image = dynamic_cast<RenderItem*>(link->refs->elementAt(i));
    if (!image || image->type != RenderItem::IMAGE || !(image->flags & IMAGE_MAP)) continue;
    if (!reflow) {
      if (contains(image, px, py)) return onImage(image->x, image->y, px, py, 1, 1, 1, 1);
      continue;
    }
    // In reflow the image is shown as its derived copies, scaled to fit (layout px); the point is
    // given in the image's own pixels.
    for (int k = 0; image->refs && k < image->refs->size(); ++k) {
      RenderItem* shown = dynamic_cast<RenderItem*>(image->refs->elementAt(k));
      if (shown && shown->width > 0 && shown->height > 0 && contains(shown, pointerX, pointerY))
        return onImage(shown->x, shown->y, pointerX, pointerY, image->width, shown->width, image->height,
                       shown->height);
    }
  }
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
