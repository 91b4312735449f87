#pragma once
// A canvas for the command runner: every call it gets is written to `calls` as a short line, with
// a real record store and bookmark list in a scratch program directory and a page it owns.

#include <functional>
#include <string>
#include <vector>

#include "browser/menu/CommandHost.h"
#include "browser/page/Page.h"
#include "browser/store/BookmarkHost.h"
#include "browser/store/Bookmarks.h"
#include "browser/store/RecordStore.h"
#include "browser/store/SettingsDefaults.h"
#include "tests/browser/LoopbackService.h"
#include "tests/vwt/ScratchDirectory.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"

inline std::string ascii(const String& s) {
  std::string out;
  for (int i = 0; i < s.length(); ++i) out += s.charAt(i) < 128 ? static_cast<char>(s.charAt(i)) : '?';
  return out;
}

class FakeCommandHost : public CommandHost, public BookmarkHost {
 public:
  FakeCommandHost() {
    program.write("res/message.txt", loopback::readFile(loopback::sourceDir() + "/res/message.txt"));
    Resource::unload();
    store_.open();
    store_.loadSettings();
    page.replaceItemLists();
    page.url = u"http://a.example/p"_s;
    page.title = u"A page"_s;
  }

  // The text of message id as the log shows it.
  static std::string text(int id) { return ascii(Resource::getString(id)); }

  ScratchProgram program;
  std::vector<std::string> calls;
  Page page;
  bool hasPage = true;
  Target target;
  bool running = false;
  int flagWord = RecordStore::FRESH_FLAGS;
  int flagWrites = 0;
  bool gps = false;
  int fontIndex = 1, fonts = 4;
  int backupBits = 0;
  bool defaultBrowser = false;
  String favorites;  // the favorites folder; empty when the machine has none
  bool imageSaves = true;
  std::function<void()> onLoadImages;

  // CommandHost.
  void withPage(const std::function<void(Page*, ReflowLayout*)>& use) override {
    use(hasPage ? &page : nullptr, nullptr);
  }
  Target pointerTarget() override { return target; }
  int historyPosition() override { return 1; }
  bool requestRunning() override { return running; }
  void historyStep(int offset) override { log("history " + std::to_string(offset)); }
  void toggleReflow() override { log("reflow"); }
  void openUrl(const String& url, const String& referrer, const String& base, int flags) override {
    log("open " + ascii(url) + "|" + ascii(referrer) + "|" + ascii(base) + "|" + std::to_string(flags));
  }
  void followLinkUnderPointer(int flags) override { log("follow " + std::to_string(flags)); }
  void openOutside(const String& url) override { log("outside " + ascii(url)); }
  void launch(int type, const String& argument) override {
    log("launch " + std::to_string(type) + " " + ascii(argument));
  }
  void handOverDownload(const String& url, const String& referrer) override {
    log("download " + ascii(url) + " " + ascii(referrer));
  }
  void cancelRequest() override { log("cancel"); }
  void quit() override { log("quit"); }
  void loadImages() override {
    if (onLoadImages) onLoadImages();
    log("images");
  }
  void goToPageEnd(bool bottom) override { log(bottom ? "bottom" : "top"); }
  void pageStep(int direction) override { log("step " + std::to_string(direction)); }
  void showFound(const std::vector<Area>& areas) override {
    std::string line = "found";
    for (const Area& a : areas)
      line += " " + std::to_string(a.x) + "," + std::to_string(a.y) + "," + std::to_string(a.width) + "," +
              std::to_string(a.height);
    log(line);
  }
  void closeWindow() override { log("close window"); }
  int pageFontIndex() override { return fontIndex; }
  int fontCount() override { return fonts; }
  void setPageFont(int index) override {
    fontIndex = index;
    log("font " + std::to_string(index));
  }
  void openScreen(int command, int argument) override {
    log("screen " + std::to_string(command) + " " + std::to_string(argument));
  }
  void confirm(int titleId, const String& text, int command) override {
    log("confirm " + std::to_string(titleId) + " " + ascii(text) + " " + std::to_string(command));
  }
  void openEntry(int command, const String& text, int imeMode, int maxLength) override {
    log("entry " + std::to_string(command) + " " + ascii(text) + " " + std::to_string(imeMode) + " " +
        std::to_string(maxLength));
  }
  void showMessage(const String& title, const String& text) override {
    log("message " + ascii(title) + ": " + ascii(text));
  }
  void setStatusText(const String& text) override { log("status " + ascii(text)); }
  void copyToClipboard(const String& text) override { log("clipboard " + ascii(text)); }
  RecordStore& store() override { return store_; }
  Bookmarks& bookmarks() override { return marks_; }
  void bookmarksChanged() override { log("bookmarks changed"); }
  int flags() override { return flagWord; }
  void setFlags(int flags) override {
    flagWord = flags;
    store_.writeValue(RecordStore::FLAGS, flags);
    ++flagWrites;
    log("flags " + std::to_string(flags));
  }
  String systemProperty(const String& key) override {
    if (key.equals(u"directory.favorites"_s)) return favorites;
    return key.equals(u"microedition.platform"_s) ? u"TestHandset"_s : String();
  }
  bool gpsCapable() override { return gps; }
  String serviceRoot() override { return u"http://service.example"_s; }
  bool saveImageUnderPointer() override {
    log("save image");
    return imageSaves;
  }
  void freeStoredPageData() override { log("free page data"); }
  void clearCookies() override { log("clear cookies"); }
  void backUpUserData() override { log("backup"); }
  int readBackup() override {
    log("read backup");
    return backupBits;
  }
  void uploadFileAction(int command) override { log("file " + std::to_string(command)); }
  bool isDefaultBrowser() override { return defaultBrowser; }
  void toggleDefaultBrowser() override { log("toggle default browser"); }

  // BookmarkHost.
  RecordStore* getRecordStore() override { return &store_; }
  int getFlags() override { return flagWord; }  // setFlags is the one above

 private:
  void log(const std::string& line) { calls.push_back(line); }

  RecordStore store_{nullptr, SettingsDefaults()};
  Bookmarks marks_{this};
};
