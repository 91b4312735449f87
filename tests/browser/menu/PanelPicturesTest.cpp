// Every panel drawn as the canvas draws it, over a page, at the handset's 240 x 320, against golden
// pictures.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "browser/menu/AboutPanel.h"
#include "browser/menu/BookmarkFilePanel.h"
#include "browser/menu/ColoursPanel.h"
#include "browser/menu/CommandId.h"
#include "browser/menu/ConfirmPanel.h"
#include "browser/menu/CookiesPanel.h"
#include "browser/menu/ErrorReport.h"
#include "browser/menu/FontPanel.h"
#include "browser/menu/HomePagePanel.h"
#include "browser/menu/KeySpeedPanel.h"
#include "browser/menu/LanguagePanel.h"
#include "browser/menu/LinkInfoPanel.h"
#include "browser/menu/MessagePanel.h"
#include "browser/menu/OrientationPanel.h"
#include "browser/menu/PageInfoPanel.h"
#include "browser/menu/PanelScreen.h"
#include "browser/menu/ShortcutPanel.h"
#include "browser/menu/StoragePanel.h"
#include "browser/menu/SyncPanel.h"
#include "browser/menu/TextSizePanel.h"
#include "browser/menu/TogglePanel.h"
#include "browser/menu/UserAgentPanel.h"
#include "browser/page/PageFonts.h"
#include "browser/page/PageRenderer.h"
#include "tests/browser/DrawnScene.h"
#include "tests/browser/page/RendererTestHost.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Resource.h"
#include "vwt/ui/Graphics.h"
#include "vwt/ui/Image.h"
#include "vwt/ui/Window.h"

namespace {

const int VIEW_WIDTH = 240;
const int VIEW_HEIGHT = 320;
// The interface font's index in the font list: the canvas's default for a 320-pixel screen.
const int INTERFACE_FONT_INDEX = 1;

class PanelPicturesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_.loadIconStrip(std::string(VWT_SOURCE_DIR) + "/res/icon.gif");
    fonts_.setUp(false, INTERFACE_FONT_INDEX, INTERFACE_FONT_INDEX, INTERFACE_FONT_INDEX);
    renderer_.reset(new PageRenderer(&host_, &fonts_));
    renderer_->setViewSize(VIEW_WIDTH, VIEW_HEIGHT);
  }

  // The panel over a page of text, in a palette set, opaque or translucent, compared with the golden
  // picture panel-NAME.png; keys (key-down for directions, else key-up) are pressed first.
  ::testing::AssertionResult shows(PanelScreen* made, const std::string& name, int set = 0,
                                   bool translucent = false, std::vector<int> keys = {}) {
    AutoPtr<PanelScreen> panel(made);
    host_.palette = set;
    host_.translucent = translucent;
    panel->setLook(set, translucent);
    panel->layout(VIEW_WIDTH, VIEW_HEIGHT, fonts_.interfaceFont());
    for (int k : keys) {
      const bool direction = k >= Window::KEY_LEFT && k <= Window::KEY_DOWN;
      panel->key(direction ? 0 : 1, k);
    }
    AutoPtr<Image> image(page());
    renderer_->drawItem(*image->getGraphics(), panel->item(), 0, 0, 100);
    return drawn::Scene::matches(image.get(), "panel-" + name + ".png");
  }

  // A page the panel stands over: lines of grey text and a blue heading.
  Image* page() {
    Image* image = Image::createImage(VIEW_WIDTH, VIEW_HEIGHT, 0xFFFFFF);
    Graphics* g = image->getGraphics();
    g->setColor(0x2050A0);
    g->fillRect(0, 0, VIEW_WIDTH, 18);
    g->setColor(0xB8B8B8);
    for (int y = 26; y < VIEW_HEIGHT; y += 14) g->fillRect(6, y, (y * 37) % 90 + 130, 6);
    return image;
  }

  drawn::Scene scene;
  RendererTestHost host_;
  PageFonts fonts_;
  AutoPtr<PageRenderer> renderer_;
};

TEST_F(PanelPicturesTest, MessagesAndQuestions) {
  EXPECT_TRUE(
      shows(MessagePanel::create(u"Bookmarks"_s, u"The page was added to the bookmarks."_s), "message"));
  EXPECT_TRUE(shows(MessagePanel::create(u"Bookmarks"_s, u"The page was added to the bookmarks."_s),
                    "message-dark", 1, true));
  EXPECT_TRUE(shows(
      ConfirmPanel::create(Resource::getString(10046), Resource::getString(10047), COMMAND_CLEAR_COOKIES),
      "confirm"));
  EXPECT_TRUE(shows(TogglePanel::create(10042, true), "toggle"));
  String report =
      ErrorReport::text(u"Saving the settings"_s, u"IOException"_s,
                        u"The storage file cannot be written: /home/user/.local/share/data0.bin"_s,
                        u"Linux x86_64"_s, u"http://news.example.org/harbour/weekend/index.html"_s);
  EXPECT_TRUE(shows(MessagePanel::create(Resource::getString(10002), report), "error-report"));
}

TEST_F(PanelPicturesTest, Information) {
  EXPECT_TRUE(
      shows(PageInfoPanel::create(u"Harbour news: the weekend edition with the tides"_s,
                                  u"http://news.example.org/harbour/weekend/index.html?edition=2026-12-10"_s),
            "page-info"));
  EXPECT_TRUE(shows(LinkInfoPanel::create(u"Rain expected over the weekend"_s, u"http://vesk/portal"_s, true),
                    "link-info"));
  EXPECT_TRUE(shows(AboutPanel::create(), "about"));
}

TEST_F(PanelPicturesTest, SettingsPanels) {
  EXPECT_TRUE(shows(TextSizePanel::create(3, 8), "text-size"));
  EXPECT_TRUE(shows(ColoursPanel::create(0), "colours", 0, false, {Window::KEY_DOWN}));
  EXPECT_TRUE(shows(ColoursPanel::create(1), "colours-dark", 1, true));
  EXPECT_TRUE(shows(StoragePanel::create(46080, 171008, 12, 5, 30), "storage"));
  EXPECT_TRUE(shows(CookiesPanel::create({u"news.example.org: session"_s, u"news.example.org: theme"_s,
                                          u"shop.example.com: basket"_s}),
                    "cookies"));
  EXPECT_TRUE(shows(LanguagePanel::create(0x0411), "language"));
  EXPECT_TRUE(shows(
      FontPanel::create(FontPanel::PAGE, {u"Small"_s, u"Medium"_s, u"Large"_s, u"Largest"_s}, 1), "font"));
  EXPECT_TRUE(shows(
      HomePagePanel::create(u"http://127.0.0.1:6111/portal/indexQK.jsp"_s, u"http://news.example.org/"_s,
                            u"http://127.0.0.1:6111/portal/indexQK.jsp"_s),
      "home-page"));
  EXPECT_TRUE(shows(KeySpeedPanel::create(600, 4, 2400, 32000), "key-speed", 0, false, {Window::KEY_DOWN}));
  EXPECT_TRUE(shows(UserAgentPanel::create({u"Desktop"_s, u"Handset"_s}, 1), "user-agent"));
  EXPECT_TRUE(shows(SyncPanel::create(7, 12), "sync"));
  EXPECT_TRUE(shows(OrientationPanel::create(0), "orientation"));
  const int keys[12] = {COMMAND_TEXT_BIGGER, COMMAND_TEXT_SMALLER, COMMAND_BOOKMARKS, COMMAND_BACK,
                        COMMAND_RELOAD,      COMMAND_FORWARD,      COMMAND_TOP,       COMMAND_ADDRESS,
                        COMMAND_BOTTOM,      COMMAND_FIND_ENTRY,   COMMAND_HOME,      COMMAND_STOP};
  EXPECT_TRUE(shows(ShortcutPanel::create(keys), "shortcuts"));
  EXPECT_TRUE(shows(ShortcutPanel::create(keys), "shortcut-choice", 0, false,
                    {Window::KEY_DOWN, Window::KEY_SELECT}));
  EXPECT_TRUE(shows(BookmarkFilePanel::create(12), "bookmark-file"));
}

}  // namespace
