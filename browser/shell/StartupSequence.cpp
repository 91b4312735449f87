#include "browser/shell/StartupSequence.h"

#include "browser/shell/StartupHost.h"
#include "browser/store/RecordStore.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Integer.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/Vector.h"

namespace {
const int ORIENTATION_ATTRIBUTE = 142;
const int SETTING_FIRST_STEP = 6;
const int SETTING_LANGUAGE = 12;
const int SETTING_ORIENTATION = 11;
const int SETTING_PALETTE = 17;
}  // namespace

const int StartupSequence::DEFAULT_SHORTCUTS[12] = {101, 3, 18, 102, 27, 19, 83, 26, 10, 9, 14, 22};

bool StartupSequence::useMenuMode(const String& property) { return !property.equals(u"no"_s); }

StartupSequence::Handset StartupSequence::adaptHandset(const String& platform, const String& profile) {
  Handset h;
  if (profile.startsWith(u"DoCoMo"_s)) {
    int dash = profile.indexOf(u'-');
    char16_t generation = dash >= 0 && dash + 1 < profile.length() ? profile.charAt(dash + 1) : u'\0';
    if (generation != u'3') h.translucent = true;
    if (generation > u'4') {
      h.transparentImages = true;
      h.scalableFonts = true;
    }
    if (platform.startsWith(u"P900"_s) || platform.startsWith(u"N900"_s)) h.zoomTransition = false;
  } else if (profile.startsWith(u"Windows Mobile"_s)) {
    h.translucent = true;
    h.transparentImages = true;
    h.zoomTransition = true;
    h.scalableFonts = true;
  }
  bool gpsModel = platform.indexOf(u"903"_s) >= 0 || platform.indexOf(u"904"_s) >= 0;
  h.gpsCapable = gpsModel && platform.indexOf(u"903iX"_s) < 0 && platform.indexOf(u"903iTV"_s) < 0;
  if (platform.indexOf(u"F903i"_s) >= 0) h.statusOnLeftSoftKey = false;
  return h;
}

String StartupSequence::mergeMenuOrder(const String& stored) {
  String defaults = defaultMenuOrder();
  if (stored.length() == 0) return defaults;
  String merged = stored;
  // Every letter but the trailing space, in default order, before the stored text's last character.
  for (int i = 0; i + 1 < defaults.length(); ++i) {
    char16_t letter = defaults.charAt(i);
    if (merged.indexOf(letter) >= 0) continue;
    int at = merged.length() - 1;
    merged = (merged.substring(0, at) + String(letter)) + merged.substring(at);
  }
  return merged;
}

bool StartupSequence::wantsFullScreen(const String& property) { return property.equals(u"yes"_s); }

int StartupSequence::orientationFor(int stored, int attribute) {
  if (attribute == 1) return (stored + 3) % 4;
  if (attribute == 2) return (stored + 1) % 4;
  return stored;
}

String StartupSequence::chooseHomeUrl(const String& stored, const String& property, const String& portal) {
  if (stored.length() > 0) return stored;
  if (property.length() > 0) return property;
  return portal;
}

String StartupSequence::portalUrl(const String& host, const String& port) {
  return (((u"http://"_s + host) + u":") + port) + u"/portal/indexQK.jsp";
}

void StartupSequence::run(const String& commandLine) {
  // The store file, its first-run defaults and the cookie list come with the session's records.
  loadRecords();
  chooseHome();
  if (host_->records().readValue(RecordStore::WINDOWS) > 0) host_->restoreWindows();
  platform_ = host_->systemProperty(u"microedition.platform"_s);
  handset_ = adaptHandset(platform_, host_->systemProperty(u"microedition.profiles"_s));
  wide_ = host_->viewWidth() >= WIDE_SCREEN_WIDTH;
  applySettings();
  host_->loadIconStrip();
  host_->setUpFonts(handset_.scalableFonts);
  host_->createStatusBar();
  applyMenuOrder();
  applyFullScreen();
  host_->createScreenBuffers(orientation_);
  sessionReady_ = host_->establishSession();
  if (sessionReady_) host_->openStartUrl(commandLine.length() > 0 ? commandLine : homeUrl_);
}

void StartupSequence::loadRecords() {
  RecordStore& store = host_->records();
  flags_ = store.readValue(RecordStore::FLAGS);
  AutoPtr<Vector<Object*>> shortcuts(store.readRecord(RecordStore::SHORTCUTS, u"I"_s));
  if (shortcuts->size() == 0) {
    for (int command : DEFAULT_SHORTCUTS) shortcuts->addElement(new Integer(command));
    store.writeRecord(RecordStore::SHORTCUTS, *shortcuts, u"I"_s);
  }
}

void StartupSequence::chooseHome() {
  RecordStore& store = host_->records();
  String stored = store.readString(RecordStore::HOME_URL, String());
  String host = host_->systemProperty(u"service.host"_s);
  String port = host_->systemProperty(u"service.port"_s);
  String portal = portalUrl(host.length() ? host : u"127.0.0.1"_s, port.length() ? port : u"6111"_s);
  homeUrl_ = chooseHomeUrl(stored, host_->systemProperty(u"home.url"_s), portal);
  if (stored.length() == 0) {
    Vector<Object*> record;
    record.addElement(new String(homeUrl_));
    store.writeRecord(RecordStore::HOME_URL, record, u"S"_s);
  }
}

void StartupSequence::applySettings() {
  RecordStore& store = host_->records();
  store.loadSettings();
  Resource::setLanguage(store.getSetting(SETTING_LANGUAGE));
  paletteIndex_ = store.getSetting(SETTING_PALETTE) == 1 ? 1 : 0;
  keyScroll_.firstStep = store.getSetting(SETTING_FIRST_STEP);
  keyScroll_.threshold = store.getSetting(SETTING_FIRST_STEP + 1);
  keyScroll_.secondStep = store.getSetting(SETTING_FIRST_STEP + 2);
  keyScroll_.maximum = store.getSetting(SETTING_FIRST_STEP + 3);
  storedOrientation_ = store.getSetting(SETTING_ORIENTATION);
  orientation_ = orientationFor(storedOrientation_, host_->handsetAttribute(ORIENTATION_ATTRIBUTE));
}

void StartupSequence::applyMenuOrder() {
  RecordStore& store = host_->records();
  menuOrder_ = mergeMenuOrder(store.readString(RecordStore::MENU_ORDER, String()));
  Vector<Object*> record;
  record.addElement(new String(menuOrder_));
  store.writeRecord(RecordStore::MENU_ORDER, record, u"S"_s);
}

void StartupSequence::applyFullScreen() {
  if (wantsFullScreen(host_->systemProperty(u"fullscreen"_s))) {
    flags_ |= FLAG_FULL_SCREEN;
    host_->records().writeValue(RecordStore::FLAGS, flags_);
  }
  host_->applyFullScreen((flags_ & FLAG_FULL_SCREEN) != 0);
}
