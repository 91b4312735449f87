#pragma once

#include <string>
#include <vector>

#include "browser/service/CookieStore.h"
#include "browser/service/ImageTable.h"
#include "browser/service/ResponseHost.h"
#include "browser/service/SessionValues.h"
#include "tests/browser/FakePageHost.h"

// A canvas stand-in for the response decoder: settings, flags and bookmarks
// in memory, and a log of the interface actions it was asked for.
class FakeResponseHost : public ResponseHost {
 public:
  FakeResponseHost() : cookies(nullptr), settings(23, 0) {}

  // The page-parser part goes to an embedded fake.
  bool isCancelled() override { return page.isCancelled(); }
  void setStatusText(const String& t) override { page.setStatusText(t); }
  void repaint() override { page.repaint(); }
  void setPageExtent(int w, int h) override { page.setPageExtent(w, h); }
  int getViewWidth() override { return page.getViewWidth(); }
  int getViewHeight() override { return page.getViewHeight(); }
  int getInterfaceLineHeight() override { return page.getInterfaceLineHeight(); }
  bool isReflowMode() override { return false; }
  void beginReflowLayout(Page*) override {}
  void addReflowItem(RenderItem*) override {}
  void endReflowLayout() override {}

  SessionValues& getSessionValues() override { return session; }
  ImageTable& getImageTable() override { return images; }
  CookieStore& getCookieStore() override { return cookies; }
  bool isMenuMode() override { return menuMode; }
  int getFlags() override { return flags; }
  void setFlags(int f) override {
    flags = f;
    ++flagSaves;
  }
  void reloadSettings() override { ++settingsReloads; }
  int getSetting(int entry) override { return settings[entry]; }
  void setSetting(int entry, int value) override { settings[entry] = value; }
  void saveSettings() override { ++settingsSaves; }
  int getBookmarkCount() override { return static_cast<int>(bookmarks.size()); }
  void replaceBookmarks(const VectorV<String>& list) override {
    bookmarks.clear();
    for (int i = 0; i < list.size(); ++i) bookmarks.push_back(list.elementAt(i));
  }
  void findCredentials(const String& realm, String* user, String* password) override {
    if (realm.equals(storedRealm)) {
      *user = storedUser;
      *password = storedPassword;
    }
  }
  void queueInformation(const String& title, const String& text) override {
    infoTitles.push_back(title);
    infoTexts.push_back(text);
  }
  void openCredentialDialog(const String& prompt, const String& user, const String& password) override {
    dialogs.push_back(((prompt + u'|') + user) + u'|' + password);
  }
  bool askYesNo(const String& title, const String& text) override {
    questions.push_back(title + u'|' + text);
    return answerYes;
  }
  void launchProgram(int type, const String& argument) override {
    launches.push_back(String(type) + u'|' + argument);
  }
  void terminate() override { ++terminations; }
  void launchDownload(const String& url, const String& referrer, const String& c) override {
    downloads.push_back(((url + u'|') + referrer) + u'|' + c);
  }
  String getCurrentPageUrl() override { return currentUrl; }
  void clearDecodedImages() override { ++imageClears; }

  FakePageHost page;
  SessionValues session;
  ImageTable images;
  CookieStore cookies;
  bool menuMode = true;
  int flags = 544;
  int flagSaves = 0;
  std::vector<int> settings;
  int settingsReloads = 0, settingsSaves = 0;
  std::vector<String> bookmarks;
  String storedRealm, storedUser, storedPassword;
  std::vector<String> infoTitles, infoTexts, dialogs, questions, launches, downloads;
  bool answerYes = true;
  int terminations = 0;
  String currentUrl = u"http://current/page"_s;
  int imageClears = 0;
};
