// The browser's start-up: the rules as tables, and one run against a store in a scratch program
// folder with a host that records what the window was asked to do.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "browser/shell/OpenCommand.h"
#include "browser/shell/StartupHost.h"
#include "browser/shell/StartupSequence.h"
#include "browser/store/RecordStore.h"
#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Integer.h"
#include "vwt/lang/Vector.h"
#include "vwt/lang/VectorV.h"

namespace {

TEST(StartupSequence, UseMenuModeIsOffOnlyForNo) {
  struct Case {
    const char* property;
    bool on;
  } cases[] = {{"no", false}, {"No", true}, {"yes", true}, {"", true}, {nullptr, true}};
  for (const Case& c : cases)
    EXPECT_EQ(StartupSequence::useMenuMode(c.property ? wide(c.property) : String()), c.on)
        << (c.property ? c.property : "(absent)");
}

TEST(StartupSequence, MenuOrderKeepsTheStoredOrderAndAddsMissingLettersBeforeTheLast) {
  struct Case {
    const char* stored;
    const char* merged;
  } cases[] = {
      {"", "GYgWMyjAK "},            // nothing stored: the defaults
      {"KAjyMWgYG ", "KAjyMWgYG "},  // all nine in another order, the space kept
      {"GY ", "GYgWMyjAK "},         // the missing ones in default order, before the space
      {"AG", "AYgWMyjKG"},           // no space: before the last letter all the same
  };
  for (const Case& c : cases)
    EXPECT_EQ(narrow(StartupSequence::mergeMenuOrder(wide(c.stored))), c.merged) << c.stored;
}

TEST(StartupSequence, OnlyTheLowerCaseWordTurnsFullScreenOn) {
  EXPECT_TRUE(StartupSequence::wantsFullScreen(u"yes"_s));
  EXPECT_FALSE(StartupSequence::wantsFullScreen(u"YES"_s));
  EXPECT_FALSE(StartupSequence::wantsFullScreen(String()));
}

TEST(StartupSequence, HandsetTraitsFromPlatformAndProfile) {
  struct Case {
    const char* platform;
    const char* profile;
    bool translucent, transparentImages, scalableFonts, zoomTransition, gps, statusOnLeft;
  } cases[] = {
      {"", "", false, false, false, true, false, true},
      {"N903i", "DoCoMo-3.0", false, false, false, true, true, true},
      {"SH903iTV", "DoCoMo-4.0", true, false, false, true, false, true},
      {"P903iX", "DoCoMo-5.0", true, true, true, true, false, true},
      {"F903i", "DoCoMo-4.1", true, false, false, true, true, false},
      {"P900i", "DoCoMo-5.0", true, true, true, false, false, true},
      {"SO904i", "Windows Mobile 6", true, true, true, true, true, true},
  };
  for (const Case& c : cases) {
    StartupSequence::Handset h = StartupSequence::adaptHandset(wide(c.platform), wide(c.profile));
    SCOPED_TRACE(std::string(c.platform) + " " + c.profile);
    EXPECT_EQ(h.translucent, c.translucent);
    EXPECT_EQ(h.transparentImages, c.transparentImages);
    EXPECT_EQ(h.scalableFonts, c.scalableFonts);
    EXPECT_EQ(h.zoomTransition, c.zoomTransition);
    EXPECT_EQ(h.gpsCapable, c.gps);
    EXPECT_EQ(h.statusOnLeftSoftKey, c.statusOnLeft);
  }
}

TEST(StartupSequence, OrientationTurnsWithTheHandsetAttribute) {
  struct Case {
    int stored, attribute, want;
  } cases[] = {{0, -1, 0}, {2, 0, 2}, {0, 1, 3}, {1, 1, 0}, {0, 2, 1}, {3, 2, 0}};
  for (const Case& c : cases) EXPECT_EQ(StartupSequence::orientationFor(c.stored, c.attribute), c.want);
}

TEST(StartupSequence, HomeUrlFromRecordPropertyOrPortal) {
  String portal = StartupSequence::portalUrl(u"127.0.0.1"_s, u"6111"_s);
  EXPECT_EQ(narrow(portal), "http://127.0.0.1:6111/portal/indexQK.jsp");
  EXPECT_EQ(narrow(StartupSequence::chooseHomeUrl(u"http://a/"_s, u"http://b/"_s, portal)), "http://a/");
  EXPECT_EQ(narrow(StartupSequence::chooseHomeUrl(String(), u"http://b/"_s, portal)), "http://b/");
  EXPECT_EQ(narrow(StartupSequence::chooseHomeUrl(String(), String(), portal)), narrow(portal));
}

TEST(OpenCommand, TheSecondStartSendsTheFirstParameterQuoted) {
  std::string bytes = OpenCommand::encode(u"http://127.0.0.1:6111/demo/a b.html"_s);
  String text = u"-open 1 \"http://127.0.0.1:6111/demo/a b.html\""_s;
  EXPECT_EQ(bytes.size(), static_cast<size_t>(text.length() + 1) * 2) << "the units and their zero";
  EXPECT_EQ(narrow(OpenCommand::decode(bytes.data(), static_cast<int>(bytes.size()))), narrow(text));
}

TEST(OpenCommand, TheRunningInstanceOpensTheTokenTwoPlacesAfterEachOpen) {
  struct Case {
    const char16_t* text;
    std::vector<std::string> urls;
  } cases[] = {
      {u"-open 1 \"http://x/a b\"", {"http://x/a b"}},
      {u"-open 1 http://x/ -open 1 \"http://y/\"", {"http://x/", "http://y/"}},
      {u"-open  1   http://x/", {"http://x/"}},  // runs of spaces
      {u"-open 1", {}},                          // no URL follows
      {u"open 1 http://x/", {}},
      {u"", {}},
  };
  for (const Case& c : cases) {
    VectorV<String> urls;
    OpenCommand::urlsOf(String(c.text, false), &urls);
    std::vector<std::string> got;
    for (int i = 0; i < urls.size(); ++i) got.push_back(narrow(urls.elementAt(i)));
    EXPECT_EQ(got, c.urls) << narrow(String(c.text, false));
  }
}

TEST(OpenCommand, ReceivedBytesAreCheckedBeforeUse) {
  EXPECT_TRUE(OpenCommand::decode(nullptr, 4).isNull());
  EXPECT_TRUE(OpenCommand::decode("x", 1).isNull());
  std::string odd = OpenCommand::encode(u"u"_s) + "z";  // an odd byte more
  VectorV<String> urls;
  OpenCommand::urlsOf(odd.data(), static_cast<int>(odd.size()), &urls);
  ASSERT_EQ(urls.size(), 1);
  EXPECT_EQ(narrow(urls.elementAt(0)), "u");
  // No zero at the end: the text stops at the bytes that arrived.
  std::string cut = OpenCommand::encode(u"http://x/"_s);
  cut.resize(cut.size() - 2);
  EXPECT_EQ(narrow(OpenCommand::decode(cut.data(), static_cast<int>(cut.size()))), "-open 1 \"http://x/\"");
}

// Records the window's steps; properties from a table.
class RecordingHost : public StartupHost {
 public:
  explicit RecordingHost(RecordStore* store) : store_(store) {}
  String systemProperty(const String& key) override {
    auto it = properties.find(narrow(key));
    return it == properties.end() ? String() : wide(it->second);
  }
  int handsetAttribute(int) override { return attribute; }
  RecordStore& records() override { return *store_; }
  int viewWidth() override { return 240; }
  void restoreWindows() override { steps.push_back("windows"); }
  void setUpFonts(bool scalable) override { steps.push_back(scalable ? "fonts scalable" : "fonts fixed"); }
  void loadIconStrip() override { steps.push_back("icons"); }
  void createStatusBar() override { steps.push_back("status bar"); }
  void applyFullScreen(bool on) override { steps.push_back(on ? "full screen" : "framed"); }
  void createScreenBuffers(int orientation) override {
    steps.push_back("buffers " + std::to_string(orientation));
  }
  bool establishSession() override {
    steps.push_back("session");
    return sessionWorks;
  }
  void openStartUrl(const String& url) override { steps.push_back("open " + narrow(url)); }

  std::map<std::string, std::string> properties;
  int attribute = -1;
  bool sessionWorks = true;
  std::vector<std::string> steps;

 private:
  RecordStore* store_;
};

class StartupRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    store_.reset(new RecordStore(nullptr, SettingsDefaults()));
    store_->open();
  }
  void writeText(int id, const String& text) {
    Vector<Object*> record;
    record.addElement(new String(text));
    store_->writeRecord(id, record, u"S"_s);
  }
  ScratchProgram program_;
  std::unique_ptr<RecordStore> store_;
};

TEST_F(StartupRunTest, AFirstRunStoresItsDefaultsAndOpensThePortal) {
  RecordingHost host(store_.get());
  host.properties = {{"service.host", "127.0.0.1"}, {"service.port", "7001"}};
  StartupSequence startup(&host);
  startup.run(String());
  EXPECT_EQ(host.steps,
            (std::vector<std::string>{"icons", "fonts fixed", "status bar", "framed", "buffers 0", "session",
                                      "open http://127.0.0.1:7001/portal/indexQK.jsp"}));
  EXPECT_EQ(startup.flags(), int{RecordStore::FRESH_FLAGS});
  EXPECT_EQ(narrow(store_->readString(RecordStore::HOME_URL, String())),
            "http://127.0.0.1:7001/portal/indexQK.jsp");
  EXPECT_EQ(narrow(store_->readString(RecordStore::MENU_ORDER, String())), "GYgWMyjAK ");
  AutoPtr<Vector<Object*>> keys(store_->readRecord(RecordStore::SHORTCUTS, u"I"_s));
  std::vector<int> got;
  for (int i = 0; i < keys->size(); ++i) got.push_back(static_cast<Integer*>(keys->elementAt(i))->intValue());
  EXPECT_EQ(got, (std::vector<int>{101, 3, 18, 102, 27, 19, 83, 26, 10, 9, 14, 22}));
  // Every record written is one the store knows: the next start finds nothing to repair.
  RecordStore reopened(nullptr, SettingsDefaults());
  reopened.open();
  EXPECT_EQ(narrow(reopened.getRepairNotice()), "");
}

TEST_F(StartupRunTest, StoredChoicesWinAndTheCommandLineNamesTheStartPage) {
  writeText(RecordStore::HOME_URL, u"http://home.example/"_s);
  writeText(RecordStore::MENU_ORDER, u"GY "_s);
  RecordingHost host(store_.get());
  host.properties = {{"home.url", "http://property.example/"},
                     {"fullscreen", "yes"},
                     {"microedition.profiles", "Windows Mobile 6"}};
  host.attribute = 1;
  StartupSequence startup(&host);
  startup.run(u"http://127.0.0.1:1/given.html"_s);
  EXPECT_EQ(narrow(startup.homeUrl()), "http://home.example/");
  EXPECT_EQ(narrow(startup.menuOrder()), "GYgWMyjAK ");
  EXPECT_EQ(narrow(store_->readString(RecordStore::MENU_ORDER, String())), "GYgWMyjAK ");
  EXPECT_NE(startup.flags() & StartupSequence::FLAG_FULL_SCREEN, 0);
  EXPECT_NE(store_->readValue(RecordStore::FLAGS) & StartupSequence::FLAG_FULL_SCREEN, 0) << "stored";
  EXPECT_EQ(host.steps,
            (std::vector<std::string>{"icons", "fonts scalable", "status bar", "full screen", "buffers 3",
                                      "session", "open http://127.0.0.1:1/given.html"}));
}

TEST_F(StartupRunTest, UpperCaseFullScreenAndAFailedSessionOpenNothing) {
  RecordingHost host(store_.get());
  host.properties = {{"fullscreen", "YES"}};
  host.sessionWorks = false;
  StartupSequence startup(&host);
  startup.run(String());
  EXPECT_EQ(startup.flags() & StartupSequence::FLAG_FULL_SCREEN, 0);
  EXPECT_EQ(store_->readValue(RecordStore::FLAGS) & StartupSequence::FLAG_FULL_SCREEN, 0);
  EXPECT_FALSE(startup.isSessionReady());
  EXPECT_EQ(host.steps.back(), "session");
}

}  // namespace
