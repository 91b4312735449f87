#pragma once

#include "vwt/lang/String.h"

// What deciding a link's action needs of the window.
class LinkHost {
 public:
  virtual ~LinkHost() = default;
  // The address of the page on screen; empty when there is none.
  virtual String pageUrl() = 0;
  // The address of the frame the link is in; empty when it is in the page itself.
  virtual String frameUrl() = 0;
  // "http://host:port" of the service, for its mail and gateway pages.
  virtual String serviceRoot() = 0;
  // Settings entry 13 (window options) and entry 0 (the user id).
  virtual int windowOptions() = 0;
  virtual String userId() = 0;
  // The handset's identity text (Phone::getProperty(0)).
  virtual String identityText() = 0;
  // Whether following url needs no request (a fragment of the page on screen).
  virtual bool isSamePageLink(const String& url) = 0;
};
