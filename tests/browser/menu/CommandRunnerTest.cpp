#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "browser/menu/CommandId.h"
#include "browser/menu/CommandRunner.h"
#include "browser/menu/SettingToggles.h"
#include "browser/page/RenderItem.h"
#include "tests/browser/menu/FakeCommandHost.h"
#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"
#include "vwt/lang/Resource.h"

namespace {

typedef std::vector<std::string> Calls;

std::string info(int id) {
  return "message " + FakeCommandHost::text(10231) + ": " + FakeCommandHost::text(id);
}

class CommandRunnerTest : public ::testing::Test {
 protected:
  FakeCommandHost host;
  CommandRunner runner{&host};

  void pointAtLink() {
    host.target.link = true;
    host.target.linkUrl = u"q?x=1"_s;
    host.target.linkText = u"Next"_s;
  }
  void pointAtImage() {
    host.target.image = true;
    host.target.imageUrl = u"http://a.example/i.png"_s;
  }
  Calls runOnly(int command, int argument = 0) {
    host.calls.clear();
    EXPECT_TRUE(runner.run(command, argument)) << command;
    return host.calls;
  }
};

TEST_F(CommandRunnerTest, EachCommandAsksTheCanvasForItsAction) {
  struct Case {
    int command;
    int argument;
    Calls calls;
  } cases[] = {
      {COMMAND_BACK, 0, {"history -1"}},
      {COMMAND_FORWARD, 0, {"history 1"}},
      {COMMAND_REFLOW, 0, {"reflow"}},
      {COMMAND_BOOKMARKS, 0, {"screen 5 0"}},
      {COMMAND_VISITED, 0, {"screen 64 0"}},
      {COMMAND_PAGE_INFO, 0, {"screen 6 0"}},
      {COMMAND_ADDRESS, 0, {"entry 7 http:// 1 2048"}},
      {COMMAND_EDIT_URL, 0, {"entry 8 http://a.example/p 1 2048"}},
      {COMMAND_RELOAD, 0, {"open http://a.example/p||http://a.example/p|4"}},
      {COMMAND_LOAD_IMAGES, 0, {"images"}},
      {COMMAND_SEARCH_G, 0, {"entry 11  2 256"}},
      {COMMAND_SEARCH_Y, 0, {"entry 12  2 256"}},
      {COMMAND_SEARCH, 0, {"entry 83  2 256"}},
      {COMMAND_FIND_ENTRY, 0, {"entry 15  2 256"}},
      {COMMAND_START_PAGE, 0, {"screen 82 0"}},
      {COMMAND_HOME, 0, {"open |||0"}},
      {COMMAND_QUIT, 0, {"quit"}},
      {COMMAND_TOP, 0, {"top"}},
      {COMMAND_BOTTOM, 0, {"bottom"}},
      {COMMAND_STOP, 0, {"cancel"}},
      {COMMAND_WINDOWS, 0, {"screen 26 0"}},
      {COMMAND_CLOSE_WINDOW, 0, {"close window"}},
      {COMMAND_SHORTCUT_PANEL, 0, {"screen 30 0"}},
      {COMMAND_FREE_STORAGE, 0, {"free page data", info(10043)}},
      {COMMAND_SETTINGS, 0, {"screen 36 0"}},
      {COMMAND_PAGE_UP, 0, {"step -1"}},
      {COMMAND_PAGE_DOWN, 0, {"step 1"}},
      {COMMAND_VERSION, 0, {"open cmd:VERINF5208|||0"}},
      {COMMAND_TEXT_SIZE_PANEL, 0, {"screen 48 0"}},
      {COMMAND_COOKIES_PANEL, 0, {"screen 52 0"}},
      {COMMAND_CLEAR_COOKIES, 0, {"confirm 10046 " + FakeCommandHost::text(10047) + " 55"}},
      {COMMAND_CLEAR_COOKIES, 1, {"clear cookies"}},
      {COMMAND_BACKUP, 0, {"backup"}},
      {COMMAND_RESTORE, 0, {"read backup"}},
      {COMMAND_FILE_CHOOSE, 0, {"file 56"}},
      {COMMAND_FILE_SHOW, 0, {"file 57"}},
      {COMMAND_FILE_CLEAR, 0, {"file 58"}},
      {COMMAND_CONVERT_JE, 0, {"open cmd:ExJEhttp%3A%2F%2Fa.example%2Fp|||0"}},
      {COMMAND_CONVERT_EJ, 0, {"open cmd:ExEJhttp%3A%2F%2Fa.example%2Fp|||0"}},
      {COMMAND_ABOUT, 0, {"screen 120 0"}},
      {COMMAND_STORE_FLAGS, 0, {"flags 544"}},
      {COMMAND_IMPORT_EXPORT_PANEL, 0, {"screen 202 0"}},
      {COMMAND_IMPORT_FAVORITES, 0, {"confirm 10062 " + FakeCommandHost::text(10063) + " 204"}},
      {COMMAND_TOGGLE_STYLES,
       0,
       {"flags 524832", "screen 93 1", "open http://a.example/p||http://a.example/p|4"}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.calls, runOnly(c.command, c.argument)) << c.command;
}

TEST_F(CommandRunnerTest, CommandsOnThePointerTargetNeedOne) {
  struct Case {
    int command;
    Calls withTarget;
    Calls without;
  } cases[] = {
      {COMMAND_FOLLOW_LINK, {"follow 0"}, {}},
      {COMMAND_NEW_WINDOW, {"follow 1"}, {"open http://a.example/p|||1"}},
      {COMMAND_LINK_INFO, {"screen 20 0"}, {}},
      {COMMAND_OPEN_OUTSIDE, {"outside http://a.example/q?x=1"}, {"outside http://a.example/p"}},
      {COMMAND_DOWNLOAD_LINK, {"download http://a.example/q?x=1 http://a.example/p"}, {}},
      {COMMAND_OPEN_IMAGE, {"open http://a.example/i.png|http://a.example/p|http://a.example/p|32"}, {}},
      {COMMAND_SAVE_IMAGE, {"save image", info(10038)}, {}},
  };
  for (const Case& c : cases) {
    host.target = CommandHost::Target();
    EXPECT_EQ(c.without, runOnly(c.command)) << c.command;
    pointAtLink();
    pointAtImage();
    EXPECT_EQ(c.withTarget, runOnly(c.command)) << c.command;
  }
  host.imageSaves = false;
  EXPECT_EQ(Calls{"save image"}, runOnly(COMMAND_SAVE_IMAGE));
}

TEST_F(CommandRunnerTest, CommandsThatNeedAPageUrlDoNothingWithoutOne) {
  host.hasPage = false;
  for (int command :
       std::initializer_list<int>{COMMAND_EDIT_URL, COMMAND_RELOAD, COMMAND_CONVERT_JE, COMMAND_OPEN_OUTSIDE})
    EXPECT_EQ(Calls{}, runOnly(command)) << command;
  EXPECT_EQ(Calls{info(10029)}, runOnly(COMMAND_ADD_BOOKMARK));
}

TEST_F(CommandRunnerTest, NotTheRunnersCommandsAreLeft) {
  for (int command : std::initializer_list<int>{0, 39, COMMAND_BOOKMARK_RENAME, COMMAND_BOOKMARK_CLEAR_ALL,
                                                999, COMMAND_LETTER_BASE, COMMAND_PANEL_BASE + 1}) {
    host.calls.clear();
    EXPECT_FALSE(runner.run(command)) << command;
    EXPECT_EQ(Calls{}, host.calls) << command;
  }
}

TEST_F(CommandRunnerTest, CookieToggleTwiceStoresCookiesAgainAndWritesTheFlagsTwice) {
  EXPECT_EQ((Calls{"flags 560", "screen 33 1"}), runOnly(COMMAND_TOGGLE_COOKIES));
  EXPECT_EQ(560, host.store().readValue(RecordStore::FLAGS));
  EXPECT_EQ((Calls{"flags 544", "screen 33 0"}), runOnly(COMMAND_TOGGLE_COOKIES));
  EXPECT_EQ(2, host.flagWrites);
  EXPECT_EQ(544, host.store().readValue(RecordStore::FLAGS));
  EXPECT_EQ(0, host.flagWord & 0x10);
}

TEST_F(CommandRunnerTest, EveryToggleFlipsItsOwnBit) {
  for (int i = 0; i < SettingToggles::count(); ++i) {
    const SettingToggles::Toggle& t = SettingToggles::at(i);
    int before = host.flagWord;
    runOnly(t.command);
    EXPECT_EQ(before ^ (1 << t.bit), host.flagWord) << t.command;
    EXPECT_EQ(host.calls[1], "screen " + std::to_string(t.command) + " " +
                                 (SettingToggles::readsOn(t, host.flagWord) ? "1" : "0"));
  }
  // The one that reads the other way round: its bit set shows "off".
  const SettingToggles::Toggle* reversed = SettingToggles::find(COMMAND_TOGGLE_BIT5);
  ASSERT_NE(nullptr, reversed);
  EXPECT_FALSE(SettingToggles::readsOn(*reversed, 1 << 5));
  EXPECT_EQ(Resource::getString(SettingToggles::STATE_OFF), SettingToggles::stateText(*reversed, 1 << 5));
  EXPECT_EQ(nullptr, SettingToggles::find(COMMAND_REFLOW));
}

TEST_F(CommandRunnerTest, GpsPageOnlyOnHandsetsThatCanLocate) {
  EXPECT_EQ(Calls{}, runOnly(COMMAND_GPS));
  host.gps = true;
  EXPECT_EQ(Calls{"launch 2 http://service.example/portal/gps.jsp?nb=1"}, runOnly(COMMAND_GPS));
}

TEST_F(CommandRunnerTest, AddBookmarkStoresTitleCutTo80) {
  std::u16string longTitle(90, u'T');
  host.page.title = String(longTitle.data(), 0, 90);
  EXPECT_EQ((Calls{"bookmarks changed", info(10028)}), runOnly(COMMAND_ADD_BOOKMARK));
  Bookmarks& marks = host.bookmarks();
  ASSERT_EQ(2, marks.size());
  EXPECT_EQ(80, marks.getTitle(0).length());
  EXPECT_EQ("http://a.example/p", ascii(marks.getUrl(0)));
  // Stored: a fresh list read back has it.
  marks.load();
  EXPECT_EQ(2, marks.size());

  host.page.title = String();
  runOnly(COMMAND_ADD_BOOKMARK);
  EXPECT_EQ("http://a.example/p", ascii(marks.getTitle(2)));
}

TEST_F(CommandRunnerTest, FullBookmarkListAsksFirst) {
  Bookmarks& marks = host.bookmarks();
  for (int i = 0; i < Bookmarks::CAPACITY; ++i) ASSERT_TRUE(marks.add(String(i), u"http://x.example/"_s));
  std::string text = ascii(Resource::getString(10026, u"A page"_s, u"http://a.example/p"_s));
  EXPECT_EQ(Calls{"confirm 10027 " + text + " 4"}, runOnly(COMMAND_ADD_BOOKMARK));
  EXPECT_EQ(2 * Bookmarks::CAPACITY, marks.size());
  // Yes: the list, to make room.
  EXPECT_EQ(Calls{"screen 5 0"}, runOnly(COMMAND_ADD_BOOKMARK, CommandRunner::CONFIRMED));
}

TEST_F(CommandRunnerTest, TypedAddressIsOpenedAndOfferedNextTime) {
  host.calls.clear();
  EXPECT_TRUE(runner.answer(COMMAND_ADDRESS, u"http://b.example/"_s));
  EXPECT_EQ(Calls{"open http://b.example/|||0"}, host.calls);
  EXPECT_EQ(Calls{"entry 7 http://b.example/ 1 2048"}, runOnly(COMMAND_ADDRESS));
  host.calls.clear();
  runner.answer(COMMAND_ADDRESS, String());
  EXPECT_EQ(Calls{}, host.calls);
  host.calls.clear();
  runner.answer(COMMAND_EDIT_URL, u"http://c.example/"_s);
  EXPECT_EQ(Calls{"open http://c.example/|||0"}, host.calls);
}

TEST_F(CommandRunnerTest, TypedWordsGoToTheServiceAsCommandUrls) {
  // None typed yet: the word alone.
  EXPECT_EQ(Calls{"open cmd:M|||0"}, runOnly(COMMAND_LETTER_BASE + 'M'));
  struct Case {
    int command;
    const char16_t* words;
    Calls calls;
  } cases[] = {
      {COMMAND_SEARCH_G, u"two words", {"open cmd:Gtwo+words|||0"}},
      {COMMAND_SEARCH_Y, u"a&b", {"open cmd:Ya%26b|||0"}},
      {COMMAND_SEARCH, u"x y", {"screen 83 0"}},
  };
  for (const Case& c : cases) {
    host.calls.clear();
    EXPECT_TRUE(runner.answer(c.command, String(c.words, false)));
    EXPECT_EQ(c.calls, host.calls) << c.command;
    EXPECT_EQ(Calls{"entry " + std::to_string(c.command) + " " + ascii(String(c.words, false)) + " 2 256"},
              runOnly(c.command));
  }
  // A letter takes the words given, or the last ones typed.
  EXPECT_EQ(Calls{"open cmd:Wx+y|||0"}, runOnly(COMMAND_LETTER_BASE + 'W'));
  host.calls.clear();
  runner.run(COMMAND_LETTER_BASE + 'g', 0, u"z"_s);
  EXPECT_EQ(Calls{"open cmd:gz|||0"}, host.calls);
  // The letters used come first in the letter menu.
  EXPECT_EQ("gWMGYyjAK ", ascii(host.store().readString(RecordStore::MENU_ORDER, String())));
}

TEST_F(CommandRunnerTest, FindAsksForTextFirstThenSearchesTheStoredText) {
  RenderItem* item = new RenderItem();
  item->type = RenderItem::TEXT;
  item->text = u"Hello World"_s;
  item->x = 4, item->y = 8, item->width = 60, item->height = 12;
  host.page.items->addElement(item);

  EXPECT_EQ(Calls{"entry 15  2 256"}, runOnly(COMMAND_FIND_NEXT));
  host.calls.clear();
  runner.answer(COMMAND_FIND_ENTRY, u"world"_s);
  EXPECT_EQ((Calls{"found 4,8,60,12", "status "}), host.calls);
  EXPECT_EQ((Calls{"found 4,8,60,12", "status " + FakeCommandHost::text(10553)}), runOnly(COMMAND_FIND_NEXT));
  EXPECT_EQ((Calls{"found 4,8,60,12", "status " + FakeCommandHost::text(10554)}),
            runOnly(COMMAND_FIND_PREVIOUS));
  host.calls.clear();
  runner.answer(COMMAND_FIND_ENTRY, u"moon"_s);
  EXPECT_EQ((Calls{"found", "message " + FakeCommandHost::text(10551) + ": " +
                                ascii(Resource::getString(10552, u"moon"_s))}),
            host.calls);
}

TEST_F(CommandRunnerTest, TextSizeStepsWithinTheFontList) {
  EXPECT_EQ((Calls{"font 2", "status " + ascii(Resource::getString(10045, u"3"_s, u"4"_s))}),
            runOnly(COMMAND_TEXT_BIGGER));
  runOnly(COMMAND_TEXT_BIGGER);
  EXPECT_EQ((Calls{"status " + ascii(Resource::getString(10045, u"4"_s, u"4"_s))}),
            runOnly(COMMAND_TEXT_BIGGER));
  host.fontIndex = 0;
  EXPECT_EQ((Calls{"status " + ascii(Resource::getString(10045, u"1"_s, u"4"_s))}),
            runOnly(COMMAND_TEXT_SMALLER));
}

TEST_F(CommandRunnerTest, CopyTakesThePageText) {
  EXPECT_EQ(Calls{info(10556)}, runOnly(COMMAND_COPY_TEXT));
  RenderItem* item = new RenderItem();
  item->type = RenderItem::TEXT;
  item->text = u"Words"_s;
  item->width = item->height = 10;
  host.page.items->addElement(item);
  EXPECT_EQ((Calls{"clipboard Words\n", "status " + ascii(Resource::getString(10555, u"6"_s))}),
            runOnly(COMMAND_COPY_TEXT));
}

TEST_F(CommandRunnerTest, ConfirmedCommandsRunForReal) {
  host.defaultBrowser = true;
  std::string state = ascii(Resource::getString(10059, Resource::getString(10033)));
  EXPECT_EQ(Calls{"confirm 10557 " + state + " 203"}, runOnly(COMMAND_DEFAULT_BROWSER));
  EXPECT_EQ(Calls{"toggle default browser"}, runOnly(COMMAND_DEFAULT_BROWSER, CommandRunner::CONFIRMED));
  // No favorites folder on this machine: nothing imported.
  EXPECT_EQ(
      Calls{"message " + FakeCommandHost::text(10231) + ": " + ascii(Resource::getString(10226, u"0"_s))},
      runOnly(COMMAND_IMPORT_FAVORITES, CommandRunner::CONFIRMED));
  host.backupBits = 0x13;
  EXPECT_EQ((Calls{"read backup", "screen 54 19"}), runOnly(COMMAND_RESTORE));
}

TEST_F(CommandRunnerTest, AFavoritesImportShowsItsRunningCount) {
  ScratchDirectory folder;
  folder.write("One.url", "[InternetShortcut]\r\nURL=http://one.example/\r\n");
  folder.write("Two.url", "[InternetShortcut]\r\nURL=http://two.example/\r\n");
  host.favorites = wide(folder.path());
  std::string running = ascii(Resource::getString(10227));
  EXPECT_EQ(
      (Calls{"status " + running + "1", "status " + running + "2", "bookmarks changed",
             "message " + FakeCommandHost::text(10231) + ": " + ascii(Resource::getString(10226, u"2"_s))}),
      runOnly(COMMAND_IMPORT_FAVORITES, CommandRunner::CONFIRMED));
  EXPECT_EQ(2, host.bookmarks().nodeCount());
}

TEST_F(CommandRunnerTest, StoreCountShowsTheFreeBytes) {
  int free = 0;
  std::vector<int> pairs = host.store().readFreeList();
  for (size_t i = 1; i < pairs.size(); i += 2) free += pairs[i];
  EXPECT_GT(free, 0);
  EXPECT_EQ(Calls{"message " + FakeCommandHost::text(10231) + ": " +
                  ascii(Resource::getString(10039, String(free)))},
            runOnly(COMMAND_STORE_COUNT));
}

TEST_F(CommandRunnerTest, AFailingCommandShowsAnErrorReport) {
  host.onLoadImages = [] { throw Exception(u"disk gone"_s); };
  Calls calls = runOnly(COMMAND_LOAD_IMAGES);
  ASSERT_EQ(1u, calls.size());
  EXPECT_EQ(0u, calls[0].find("message " + FakeCommandHost::text(10002) + ": "));
  for (std::string part : {ascii(Resource::getString(10550, u"10"_s)), std::string("disk gone"),
                           std::string("TestHandset"), std::string("http://a.example/p")})
    EXPECT_NE(std::string::npos, calls[0].find(part)) << part;
}

}  // namespace
