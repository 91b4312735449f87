#pragma once

#include <cstdint>
#include <functional>

#include "browser/shell/LinkAction.h"
#include "browser/shell/LinkHost.h"
#include "vwt/lang/String.h"

class RenderItem;
class SessionCore;

// Carries out following a link (LinkAction decides) and the open-URL steps, over the session core.
// It answers LinkAction's questions itself from the session (page URL, frame URL, settings, service
// root ...). Interface thread only.
class LinkFollower : public LinkHost {
 public:
  // Pages apart by more than this get the statistics mark (option bit 4) on their request.
  static constexpr int64_t MARK_INTERVAL_MS = 43200000;
  static constexpr int MESSAGE_OPENING = 10023;

  struct Actions {  // what only the window can do; tests replace them
    // Scrolls the view so that (x, y) (zoomed page px) is at its top.
    std::function<void(int x, int y)> showPoint;
    // The desktop's browser (xdg-open through Application::launch type 1).
    std::function<void(const String& url)> openOutside;
  };

  LinkFollower(SessionCore* core, Actions actions);  // core not owned

  // The real desktop browser for Actions::openOutside: Application::launch with LAUNCH_BROWSER; a
  // failure becomes a message queued on core (not owned) for the window to show.
  static std::function<void(const String& url)> desktopBrowser(SessionCore* core);

  // A LINK or AREA of the page on screen, with the pointer (zoomed page px; layout px in reflow) for
  // image maps. Called without the page lock; an item no longer on the page on screen is ignored.
  void follow(RenderItem* linkOrArea, int pointerX, int pointerY, int zoom, int callerFlags);
  // The open-URL steps (connection, cancel, secure host, status text, query join, reload, new window,
  // 12-hour mark, request). Forms call it with postData; extra goes with the request as its charset.
  void open(const String& url, const String& referrer, const String& base, const String& postData,
            const String& extra, int flags);

  // Where the 12-hour mark reads the time (ms since the epoch, System::currentTimeMillis by default);
  // tests replace it. The mark is the session's (SessionCore::lastStatsTime, set when the canvas is
  // made), so requests that do not come through here never mark twice.
  void setClock(std::function<int64_t()> clock);
  // The https host the session keys were last made for; empty before the first secure page.
  const String& secureHost() const { return secureHost_; }

  // LinkHost, for the link being followed.
  String pageUrl() override;
  String frameUrl() override;
  String serviceRoot() override;
  int windowOptions() override;
  String userId() override;
  String identityText() override;
  bool isSamePageLink(const String& url) override;

 private:
  // The pointer on an image-map image among the link's items (zoomed page px, or layout px in
  // reflow); the page lock held.
  static LinkAction::MapPoint mapPoint(RenderItem* link, int pointerX, int pointerY, int zoom, bool reflow);
  // Scrolls to the anchor the fragment of url names; "#top" without such an anchor goes to the top.
  void jump(const String& url, int zoom);

  SessionCore* core_;  // not owned
  Actions actions_;
  std::function<int64_t()> clock_;
  String secureHost_;
  String frameUrl_;  // of the link being followed, while follow() decides
};
