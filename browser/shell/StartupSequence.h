#pragma once

#include "vwt/lang/String.h"

class StartupHost;

// The browser's staged start-up, run once from the window's second paint: records with their
// first-run defaults, the home URL, the handset's traits, fonts, settings, menu order, full screen,
// then the session and the start page. The rules are functions of their inputs, so that they can
// be tried without a window; run() applies them through the host.
class StartupSequence {
 public:
  // What the handset's properties say about it.
  struct Handset {
    bool translucent = false;         // the interface may blend
    bool transparentImages = false;   // image requests ask for a transparent colour
    bool scalableFonts = false;       // fonts by pixel size instead of the four fixed ones
    bool zoomTransition = true;       // zoom changes animate
    bool gpsCapable = false;          // the GPS command is offered
    bool statusOnLeftSoftKey = true;  // the left soft key may show the status text
  };
  // How the arrow keys scroll: first step, acceleration threshold, second step, maximum.
  struct KeyScroll {
    int firstStep = 0;
    int threshold = 0;
    int secondStep = 0;
    int maximum = 0;
  };

  static const int FLAG_FULL_SCREEN = 1 << 25;
  // The window counts as wide from this width on.
  static const int WIDE_SCREEN_WIDTH = 480;

  // host is not owned.
  explicit StartupSequence(StartupHost* host) : host_(host) {}

  // Every step; commandLine is the program's whole parameter text (empty: the home page).
  void run(const String& commandLine);

  const Handset& handset() const { return handset_; }
  const KeyScroll& keyScroll() const { return keyScroll_; }
  const String& platform() const { return platform_; }
  const String& homeUrl() const { return homeUrl_; }
  const String& menuOrder() const { return menuOrder_; }
  int flags() const { return flags_; }
  int orientation() const { return orientation_; }
  int storedOrientation() const { return storedOrientation_; }
  int paletteIndex() const { return paletteIndex_; }
  bool isWide() const { return wide_; }
  bool isSessionReady() const { return sessionReady_; }

  // The rules.
  // Use-menu mode stays on unless the property says exactly "no".
  static bool useMenuMode(const String& property);
  static Handset adaptHandset(const String& platform, const String& profile);
  // The stored letter order with every default letter it lacks put before its last character;
  // the default order for an empty one.
  static String mergeMenuOrder(const String& stored);
  static String defaultMenuOrder() { return u"GYgWMyjAK "_s; }
  // Only the lower-case word turns full screen on.
  static bool wantsFullScreen(const String& property);
  // The screen orientation for the stored choice and the handset's attribute 142.
  static int orientationFor(int stored, int attribute);
  // The stored home URL, else the property, else the portal.
  static String chooseHomeUrl(const String& stored, const String& property, const String& portal);
  static String portalUrl(const String& host, const String& port);
  // The command of each shortcut key 1-9, "*", 0, "#" on a first run.
  static const int DEFAULT_SHORTCUTS[12];

 private:
  void loadRecords();
  void chooseHome();
  void applySettings();
  void applyMenuOrder();
  void applyFullScreen();

  StartupHost* host_;
  Handset handset_;
  KeyScroll keyScroll_;
  String platform_;
  String homeUrl_;
  String menuOrder_;
  int flags_ = 0;
  int orientation_ = 0;
  int storedOrientation_ = 0;
  int paletteIndex_ = 0;
  bool wide_ = false;
  bool sessionReady_ = false;
};
