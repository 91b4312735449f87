#pragma once

#include "vwt/lang/String.h"

class LinkHost;

// What following a link of a page does, decided without doing it: the window carries it out.
class LinkAction {
 public:
  enum Kind {
    NOT_SUPPORTED,  // show message `messageId` followed by url
    HISTORY_BACK,   // one step back in the history
    NOTHING,        // "tel:" links
    OPEN_OUTSIDE,   // hand url to the desktop's browser
    JUMP,           // scroll to the fragment of url on the page on screen
    OPEN,           // request url with referrer, base and flags
  };

  // Open flags.
  static constexpr int OPEN_NEW_WINDOW = 1;
  static constexpr int OPEN_LINK_BIT1 = 2;

  // Link flags.
  static constexpr int LINK_OUTSIDE = 1;
  static constexpr int LINK_BIT1 = 2;
  static constexpr int LINK_NEW_WINDOW = 4;
  static constexpr int LINK_GATEWAY = 8;

  // Settings entry 13: links asking for a new window get one.
  static constexpr int OPTION_NEW_WINDOWS = 0x10;

  static constexpr int MESSAGE_NOT_SUPPORTED = 10014;

  // A point on an image map, relative to the image's corner.
  struct MapPoint {
    bool on = false;
    int x = 0, y = 0;
  };

  // The link url with its link flags, followed with caller flags; mapPoint when the pointer is on an
  // image with the image-map flag.
  static LinkAction decide(const String& url, int linkFlags, int callerFlags, const MapPoint& mapPoint,
                           LinkHost* host);

  Kind kind = NOTHING;
  String url;
  String referrer;
  String base;
  int flags = 0;
  int messageId = 0;

 private:
  static LinkAction outside(const String& url, int linkFlags, LinkHost* host);
};
