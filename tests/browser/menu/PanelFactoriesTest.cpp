// The panels the browser opens: their modes, texts and what their keys return.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "browser/menu/AboutPanel.h"
#include "browser/menu/BookmarkFilePanel.h"
#include "browser/menu/ColoursPanel.h"
#include "browser/menu/CommandId.h"
#include "browser/menu/ConfirmPanel.h"
#include "browser/menu/CookiesPanel.h"
#include "browser/menu/FontPanel.h"
#include "browser/menu/HomePagePanel.h"
#include "browser/menu/KeySpeedPanel.h"
#include "browser/menu/LanguagePanel.h"
#include "browser/menu/LinkInfoPanel.h"
#include "browser/menu/MessagePanel.h"
#include "browser/menu/OrientationPanel.h"
#include "browser/menu/PageInfoPanel.h"
#include "browser/menu/PanelCommand.h"
#include "browser/menu/PanelScreen.h"
#include "browser/menu/ShortcutPanel.h"
#include "browser/menu/StoragePanel.h"
#include "browser/menu/SyncPanel.h"
#include "browser/menu/TextSizePanel.h"
#include "browser/menu/TogglePanel.h"
#include "browser/menu/UserAgentPanel.h"
#include "browser/page/RenderItem.h"
#include "tests/browser/DrawnScene.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/System.h"
#include "vwt/ui/Graphics.h"
#include "vwt/ui/Image.h"
#include "vwt/ui/Window.h"

namespace {

Image* bound(vwt::Font* font) {
  Image* image = Image::createImage(1, 1, 0xFFFFFF);
  image->getGraphics()->setFont(font);
  return image;
}

const int DOWN = Window::KEY_DOWN, UP = Window::KEY_UP, LEFT = Window::KEY_LEFT, RIGHT = Window::KEY_RIGHT,
          SELECT = Window::KEY_SELECT, SOFT1 = Window::KEY_SOFT1, ESCAPE = Window::KEY_ESCAPE;

class PanelFactoriesTest : public ::testing::Test {
 protected:
  PanelScreen* open(PanelScreen* p) {
    p->layout(240, 320, scene.interfaceFont());
    return p;
  }
  // Direction keys act on key-down, the others on key-up; the result of the last key.
  static ScreenResult press(PanelScreen* p, std::initializer_list<int> keys) {
    ScreenResult r;
    for (int k : keys) {
      const bool direction = k == DOWN || k == UP || k == LEFT || k == RIGHT;
      r = p->key(direction ? 0 : 1, k);
    }
    return r;
  }
  // The panel's texts, a line feed after each.
  static String texts(PanelScreen* p) {
    String all;
    RenderItem::ValueList* list = p->item()->getList(0);
    for (int i = 0; i < list->size(); ++i) {
      RenderItem* c = dynamic_cast<RenderItem*>(list->elementAt(i));
      if (c->type == RenderItem::TEXT || c->type == RenderItem::BUTTON) all = all + c->text + u"\n"_s;
    }
    return all;
  }
  static void expect(const ScreenResult& r, ScreenResult::Action action, int command, int argument = 0) {
    EXPECT_EQ(r.action, action);
    EXPECT_EQ(r.command, command);
    EXPECT_EQ(r.argument, argument);
  }

  drawn::Scene scene;
  // Fonts measure through the context they are bound to, as the canvas's are.
  AutoPtr<Image> canvas{bound(scene.interfaceFont())};
};

TEST_F(PanelFactoriesTest, MessagesConfirmationsAndToggles) {
  AutoPtr<PanelScreen> message(open(MessagePanel::create(u"Saved"_s, u"The picture was saved."_s)));
  EXPECT_EQ(message->mode(), 9);
  EXPECT_EQ(message->item()->text, u"Saved"_s);
  EXPECT_EQ(texts(message.get()), u"The picture was saved.\nOK\n"_s);
  expect(press(message.get(), {SOFT1}), ScreenResult::CLOSE, 0);

  AutoPtr<PanelScreen> confirm(open(
      ConfirmPanel::create(Resource::getString(10046), Resource::getString(10047), COMMAND_CLEAR_COOKIES)));
  EXPECT_EQ(confirm->mode(), 4);
  expect(press(confirm.get(), {SOFT1}), ScreenResult::COMMAND, COMMAND_CLEAR_COOKIES, 1);
  expect(press(confirm.get(), {SELECT}), ScreenResult::COMMAND, COMMAND_CLEAR_COOKIES, 1);
  expect(press(confirm.get(), {DOWN, SELECT}), ScreenResult::CLOSE, 0);

  AutoPtr<PanelScreen> on(open(TogglePanel::create(10042, true)));
  EXPECT_EQ(on->mode(), 9);
  EXPECT_EQ(texts(on.get()), Resource::getString(10042) + u": On\nOK\n"_s);
  AutoPtr<PanelScreen> named(open(TogglePanel::create(10035, false)));
  EXPECT_EQ(texts(named.get()),
            Resource::getString(10035) + u": "_s + Resource::getString(10037) + u"\nOK\n"_s);
}

TEST_F(PanelFactoriesTest, PageLinkAndAboutInformation) {
  AutoPtr<PanelScreen> page(open(PageInfoPanel::create(String(), u"http://example.org/"_s)));
  EXPECT_EQ(texts(page.get()), u"Title:\n(no title)\nAddress:\nhttp://example.org/\nOK\n"_s);
  AutoPtr<PanelScreen> link(open(LinkInfoPanel::create(u"Portal"_s, u"http://vesk/portal"_s, true)));
  EXPECT_EQ(texts(link.get()), u"Text:\nPortal\nAddress:\n"_s + Resource::getString(10030) + u"\nOK\n"_s);
  AutoPtr<PanelScreen> outside(open(LinkInfoPanel::create(u"News"_s, u"http://news.example/"_s, false)));
  EXPECT_TRUE(texts(outside.get()).indexOf(u"http://news.example/"_s) >= 0);
  AutoPtr<PanelScreen> about(open(AboutPanel::create()));
  EXPECT_EQ(about->mode(), 110);
  EXPECT_TRUE(texts(about.get()).startsWith(Resource::getString(10154)));
  expect(press(about.get(), {SELECT}), ScreenResult::CLOSE, 0);
}

TEST_F(PanelFactoriesTest, SettingsPanelsReturnTheirPrivateCommands) {
  struct Case {
    const char* name;
    PanelScreen* panel;
    int mode;
    std::vector<int> keys;
    ScreenResult::Action action;
    int command, argument;
  } cases[] = {
      {"text size",
       TextSizePanel::create(5, 12),
       11,
       {RIGHT},
       ScreenResult::COMMAND_KEEP,
       PANEL_PAGE_FONT,
       6},
      {"text size at the end",
       TextSizePanel::create(40, 12),
       11,
       {LEFT},
       ScreenResult::COMMAND_KEEP,
       PANEL_PAGE_FONT,
       10},
      {"colours", ColoursPanel::create(0), 12, {DOWN, SELECT}, ScreenResult::COMMAND_KEEP, PANEL_PALETTE, 1},
      {"storage",
       StoragePanel::create(40960, 171008, 3, 4, 5),
       13,
       {SELECT},
       ScreenResult::COMMAND,
       COMMAND_FREE_STORAGE,
       0},
      {"cookies",
       CookiesPanel::create({u"example.org: id"_s, u"news.example: theme"_s}),
       15,
       {SELECT},
       ScreenResult::COMMAND,
       COMMAND_CLEAR_COOKIES,
       0},
      {"no cookies", CookiesPanel::create({}), 15, {SELECT}, ScreenResult::IGNORED, 0, 0},
      {"language",
       LanguagePanel::create(0),
       21,
       {DOWN, DOWN, SELECT},
       ScreenResult::COMMAND_KEEP,
       PANEL_LANGUAGE,
       0x0411},
      {"interface font",
       FontPanel::create(29, {u"Small"_s, u"Medium"_s, u"Large"_s}, 0),
       29,
       {DOWN, SELECT},
       ScreenResult::COMMAND_KEEP,
       PANEL_INTERFACE_FONT,
       1},
      {"base font",
       FontPanel::create(41, {u"Small"_s, u"Large"_s}, 1),
       41,
       {SELECT},
       ScreenResult::COMMAND_KEEP,
       PANEL_BASE_FONT,
       1},  // a choice opens on the one chosen
      {"key speed",
       KeySpeedPanel::create(600, 0, 2400, 99900),
       23,
       {RIGHT},
       ScreenResult::COMMAND_KEEP,
       PANEL_KEY_FIRST_STEP,
       7},
      {"top speed",
       KeySpeedPanel::create(600, 0, 2400, 99900),
       23,
       {DOWN, DOWN, DOWN, LEFT},
       ScreenResult::COMMAND_KEEP,
       PANEL_KEY_MAX_SPEED,
       990},
      {"user agent",
       UserAgentPanel::create({u"Desktop"_s, u"Handset"_s}, 2),
       24,
       {SELECT},
       ScreenResult::COMMAND_KEEP,
       PANEL_USER_AGENT,
       2},
      {"synchronised", SyncPanel::create(7, 12), 25, {SELECT}, ScreenResult::COMMAND, PANEL_SYNC_OFF, 0},
      {"not synchronised", SyncPanel::create(0, 12), 25, {SELECT}, ScreenResult::IGNORED, 0, 0},
      {"orientation",
       OrientationPanel::create(0),
       26,
       {DOWN, DOWN, DOWN, SELECT},
       ScreenResult::COMMAND_KEEP,
       PANEL_ORIENTATION,
       3},
      {"bookmark files",
       BookmarkFilePanel::create(4),
       31,
       {SELECT},
       ScreenResult::COMMAND,
       PANEL_IMPORT_BOOKMARK_FILE,
       0},
      {"restore",
       BookmarkFilePanel::create(4),
       31,
       {DOWN, DOWN, DOWN, DOWN, SELECT},
       ScreenResult::COMMAND,
       COMMAND_RESTORE,
       0},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    AutoPtr<PanelScreen> p(open(c.panel));
    EXPECT_EQ(p->mode(), c.mode);
    ScreenResult r;
    for (int k : c.keys) r = press(p.get(), {k});
    expect(r, c.action, c.command, c.argument);
  }
  EXPECT_EQ(FontPanel::create(12, {u"Small"_s}, 0), nullptr);
}

TEST_F(PanelFactoriesTest, TheHomePageIsTypedOrTakenFromThePage) {
  AutoPtr<PanelScreen> p(open(
      HomePagePanel::create(u"http://home/"_s, u"http://page/"_s, u"http://127.0.0.1/portal/indexQK.jsp"_s)));
  EXPECT_EQ(p->mode(), 22);
  ScreenResult r = press(p.get(), {SELECT});
  EXPECT_EQ(r.action, ScreenResult::ENTRY);
  EXPECT_EQ(r.text, u"http://home/"_s);
  r = p->entered(u"http://typed/"_s);
  expect(r, ScreenResult::COMMAND, PANEL_HOME_URL);
  EXPECT_EQ(r.text, u"http://typed/"_s);
  r = press(p.get(), {DOWN, SELECT});
  expect(r, ScreenResult::COMMAND, PANEL_HOME_URL);
  EXPECT_EQ(r.text, u"http://page/"_s);
  r = press(p.get(), {DOWN, SELECT});
  EXPECT_EQ(r.text, u"http://127.0.0.1/portal/indexQK.jsp"_s);
}

TEST_F(PanelFactoriesTest, AShortcutKeyIsChosenFromTheCommandsAndShownAtOnce) {
  const int defaults[12] = {COMMAND_TEXT_BIGGER, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, COMMAND_STOP};
  AutoPtr<PanelScreen> p(open(ShortcutPanel::create(defaults)));
  EXPECT_EQ(p->mode(), 27);
  EXPECT_TRUE(texts(p.get()).indexOf(u"1: Larger text\n"_s) >= 0);
  EXPECT_TRUE(texts(p.get()).indexOf(u"#: Stop\n"_s) >= 0);
  // Key 2 runs nothing; choose "Back" for it.
  EXPECT_EQ(press(p.get(), {DOWN, SELECT}).action, ScreenResult::CHANGED);
  EXPECT_TRUE(texts(p.get()).startsWith(u"Key 2 runs:\n"_s));
  EXPECT_TRUE(p->isChosen(p->focused()));
  ScreenResult r = press(p.get(), {DOWN, SELECT});
  expect(r, ScreenResult::COMMAND_KEEP, PANEL_SHORTCUT_KEY + 1, COMMAND_BACK);
  EXPECT_TRUE(texts(p.get()).indexOf(u"2: Back\n"_s) >= 0);
  EXPECT_EQ(p->focused(), 2);  // back on the key that changed
  // Escape leaves the commands for the keys, then closes.
  press(p.get(), {SELECT});
  EXPECT_EQ(press(p.get(), {ESCAPE}).action, ScreenResult::CHANGED);
  EXPECT_TRUE(texts(p.get()).indexOf(u"2: Back\n"_s) >= 0);
  EXPECT_EQ(press(p.get(), {ESCAPE}).action, ScreenResult::CLOSE);
}

TEST_F(PanelFactoriesTest, UserAgentLabelsComeFromTheProperties) {
  scene.program.write("system.ini",
                      "font.face.default=IPAPGothic\nuser-agent1=Desktop,Mozilla/5.0\nuser-agent2=Plain\n"
                      "user-agent4=Skipped,after a gap\n");
  System::unloadProperties();
  const std::vector<String> labels = UserAgentPanel::labelsFromProperties();
  ASSERT_EQ(labels.size(), 2u);
  EXPECT_EQ(labels[0], u"Desktop"_s);
  EXPECT_EQ(labels[1], u"Plain"_s);
}

}  // namespace
