#pragma once

#include "vwt/lang/String.h"

// The text shown in a message panel when a command or a stored record fails unexpectedly: the
// context, what was thrown, the platform and client version, and the page (internal pages hidden).
class ErrorReport {
 public:
  static const int CLIENT_VERSION = 5208;
  // The service host is the system property "service.host" (127.0.0.1 without it).
  static String text(const String& context, const String& exceptionClass, const String& exceptionMessage,
                     const String& platform, const String& url);
  // The same with the service host given.
  static String text(const String& context, const String& exceptionClass, const String& exceptionMessage,
                     const String& platform, const String& url, const String& serviceHost);
};
