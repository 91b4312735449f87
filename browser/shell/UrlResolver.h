#pragma once

#include "vwt/lang/String.h"

// The browser's own URL arithmetic: relative names against a page address, query-only addresses,
// the session part of outside links, command URLs for cookie lookups and the service's own addresses.
// Dot segments other than leading "./" are left alone on purpose: the service's pages rely on it.
class UrlResolver {
 public:
  // relative against base: http(s) addresses as they are; "#x" keeps the base's file; "/x" goes to the
  // base's host; anything else goes to the base's directory after its leading "./" pairs are removed.
  // The base's query never survives.
  static String resolve(const String& base, const String& relative);
  // An address that is only a query replaces the base's query (or is appended to a base without one);
  // any other address is returned unchanged.
  static String joinQuery(const String& url, const String& base);
  // ";jsessionid=<value>KOCAB" from an address carrying "JSESSIONID%3D<value>KOCAB" (any case) after
  // its first character; empty when there is none.
  static String sessionPart(const String& url);
  // A "cmd:" address as the http address whose cookies it uses, through the letter-menu text
  // (message 10254); unchanged when it is no command or its letter is not named there.
  static String commandCookieUrl(const String& url, const String& menuText);
  // Whether the address is on the service host serviceHost (the host itself or its "doc." and "m."
  // sub-hosts, any scheme and port).
  static bool isInternal(const String& url, const String& serviceHost);
  // The host of an https address (between "https://" and the next "/"); empty for other addresses.
  static String secureHost(const String& url);
  // What the desktop's browser is given: http(s) addresses as they are, others joined to the page
  // address up to and including its last "/" (when there is a page address).
  static String outsideUrl(const String& url, const String& pageUrl);
};
