#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "browser/menu/CommandMenus.h"
#include "browser/menu/MenuOrder.h"
#include "browser/menu/MenuScreen.h"
#include "browser/menu/SideMenuScreen.h"
#include "browser/page/OverlayPainter.h"
#include "browser/page/RenderItem.h"
#include "tests/browser/DrawnScene.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/ui/Graphics.h"
#include "vwt/ui/Image.h"
#include "vwt/ui/Window.h"

namespace {

const int VIEW_W = 240, VIEW_H = 320;
const int PAGE_COLOUR = 0xF4F4EC;
const int DEFAULT_SHORTCUTS[12] = {101, 3, 18, 102, 27, 19, 83, 26, 10, 9, 14, 22};

// The menus as the canvas shows them: laid out for a 240 x 320 view with the interface font and drawn
// over a page of lines.
class MenuPicturesTest : public ::testing::Test {
 protected:
  MenuContext context() {
    MenuContext c;
    c.historyPosition = 0;
    for (int i = 0; i < 12; ++i) c.shortcuts[i] = DEFAULT_SHORTCUTS[i];
    c.linkUnderPointer = true;
    c.flags = 0x220;  // a fresh store's flags
    return c;
  }

  ::testing::AssertionResult shot(Screen* screen, const std::string& name) {
    AutoPtr<Image> image(Image::createImage(VIEW_W, VIEW_H, PAGE_COLOUR));
    Graphics* g = image->getGraphics();
    g->setFont(scene.interfaceFont());  // a font measures once it has been drawn with
    screen->layout(VIEW_W, VIEW_H, scene.interfaceFont());
    g->setColor(0xC8C8C0);
    for (int y = 12; y < VIEW_H; y += 16) g->drawLine(8, y, VIEW_W - 8, y);
    OverlayPainter::Style style;
    style.interfaceFont = scene.interfaceFont();
    style.iconStrip = scene.iconStrip();
    RenderItem* it = screen->item();
    if (!OverlayPainter::draw(*g, it, it->x, it->y, it->width, it->height, style))
      return ::testing::AssertionFailure() << "not drawn";
    return drawn::Scene::matches(image.get(), name);
  }

  drawn::Scene scene;
};

TEST_F(MenuPicturesTest, MainMenu) {
  MenuContext c = context();
  c.lastMainRow = 3;
  std::unique_ptr<MenuScreen> m(CommandMenus::mainMenu(c));
  EXPECT_TRUE(shot(m.get(), "menu-main.png"));
}

TEST_F(MenuPicturesTest, LinkMenu) {
  std::unique_ptr<MenuScreen> m(CommandMenus::linkMenu(context()));
  EXPECT_TRUE(shot(m.get(), "menu-link.png"));
}

TEST_F(MenuPicturesTest, FileMenu) {
  std::unique_ptr<MenuScreen> m(CommandMenus::fileMenu());
  EXPECT_TRUE(shot(m.get(), "menu-file.png"));
}

TEST_F(MenuPicturesTest, LetterMenu) {
  MenuOrder order{String()};
  order.use(u'W');
  std::unique_ptr<MenuScreen> m(CommandMenus::letterMenu(order));
  EXPECT_TRUE(shot(m.get(), "menu-letters.png"));
}

TEST_F(MenuPicturesTest, SettingsMenu) {
  std::unique_ptr<MenuScreen> m(CommandMenus::settingsMenu(context()));
  EXPECT_TRUE(shot(m.get(), "menu-settings.png"));
}

TEST_F(MenuPicturesTest, SettingsMenuAtTheOptions) {
  MenuContext c = context();
  c.flags |= 1 << 4;  // cookies not stored
  std::unique_ptr<MenuScreen> m(CommandMenus::settingsMenu(c));
  // Down past the first toggle (whose name the program shares with its error dialog for now), so that the
  // others and the headings after them fill the menu.
  int row = 0;
  while (row < m->rowCount() && m->commandAt(row) != 21) ++row;
  ASSERT_LT(row, m->rowCount());
  AutoPtr<Image> probe(Image::createImage(1, 1, 0));
  probe->getGraphics()->setFont(scene.interfaceFont());
  m->layout(VIEW_W, VIEW_H, scene.interfaceFont());
  m->select(row + m->rowsShown());
  EXPECT_GT(m->firstShown(), row);
  EXPECT_TRUE(shot(m.get(), "menu-settings-options.png"));
}

TEST_F(MenuPicturesTest, WindowList) {
  std::unique_ptr<SideMenuScreen> m(CommandMenus::windowList(
      {u"Portal"_s, u"News of the day from a site with a long title"_s, u"about:blank"_s}, 1));
  EXPECT_TRUE(shot(m.get(), "menu-windows.png"));
}

}  // namespace
