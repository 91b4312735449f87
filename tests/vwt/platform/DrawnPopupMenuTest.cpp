#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/vwt/GoldenPicture.h"
#include "tests/vwt/platform/DrawnControlsFixture.h"
#include "vwt/platform/ControlLook.h"
#include "vwt/platform/DrawnPopupMenu.h"

using namespace vwt::platform;

namespace {

using Menu = DrawnPopupMenu;

class DrawnPopupMenuTest : public DrawnControlsFixture {
 protected:
  // Cut, Copy (greyed), a separator, Paste, Select mode (checked).
  static std::vector<Menu::Item> items() {
    std::vector<Menu::Item> list(5);
    list[0].id = 11, list[0].text = u"Cut";
    list[1].id = 12, list[1].text = u"Copy", list[1].enabled = false;
    list[2].separator = true;
    list[3].id = 13, list[3].text = u"Paste";
    list[4].id = 14, list[4].text = u"Select mode", list[4].checked = true;
    return list;
  }
  // "X Y" inside item i of items() for a menu placed at (left, top).
  static std::string at(int i, int left = 20, int top = 40) {
    const int h[] = {ControlLook::MENU_ITEM_HEIGHT, ControlLook::MENU_ITEM_HEIGHT,
                     ControlLook::MENU_SEPARATOR_HEIGHT, ControlLook::MENU_ITEM_HEIGHT,
                     ControlLook::MENU_ITEM_HEIGHT};
    int y = top + ControlLook::BORDER;
    for (int k = 0; k < i; ++k) y += h[k];
    return std::to_string(left + 10) + " " + std::to_string(y + h[i] / 2);
  }
};

TEST_F(DrawnPopupMenuTest, KeysAndTapsChooseAndGreyedItemsRefuse) {
  struct Case {
    const char* name;
    std::string input;
    int want;
  } cases[] = {
      {"select on the first", "key select\n", 11},
      {"down skips the greyed item and the separator", "key down\nkey select\n", 13},
      {"up wraps to the last", "key up\nkey select\n", 14},
      {"escape dismisses", "key down\nkey escape\n", 0},
      {"a tap chooses", "tap " + at(3) + "\n", 13},
      {"a tap on the greyed item does nothing", "tap " + at(1) + "\ntap " + at(4) + "\n", 14},
      {"a tap on the separator does nothing", "tap " + at(2) + "\nkey select\n", 11},
      {"select after moving onto the greyed item keeps the last choosable",
       "press " + at(0) + "\nmove " + at(1) + "\nrelease 200 300\nkey select\n", 11},
      {"a tap outside dismisses", "tap 200 300\n", 0},
  };
  for (const Case& c : cases) {
    script(c.input);
    EXPECT_EQ(Menu::show(0, items(), 20, 40, Menu::ALIGN_LEFT | Menu::ALIGN_TOP), c.want) << c.name;
    WindowSystem::shutdown();
  }
}

TEST_F(DrawnPopupMenuTest, TheAnchorPicksTheQuadrantAndTheMenuStaysOnTheScreen) {
  struct Case {
    int x, y, align;
    PixelRect want;
  } cases[] = {
      {100, 100, Menu::ALIGN_LEFT | Menu::ALIGN_TOP, {100, 100, 180, 150}},
      {100, 100, Menu::ALIGN_RIGHT | Menu::ALIGN_TOP, {20, 100, 100, 150}},
      {100, 100, Menu::ALIGN_LEFT | Menu::ALIGN_BOTTOM, {100, 50, 180, 100}},
      {100, 100, Menu::ALIGN_RIGHT | Menu::ALIGN_BOTTOM, {20, 50, 100, 100}},
      // Pushed back onto the 240 x 320 screen.
      {200, 300, Menu::ALIGN_LEFT | Menu::ALIGN_TOP, {160, 270, 240, 320}},
      {30, 20, Menu::ALIGN_RIGHT | Menu::ALIGN_BOTTOM, {0, 0, 80, 50}},
  };
  for (const Case& c : cases) {
    PixelRect r = Menu::place(80, 50, c.x, c.y, c.align, SCREEN_W, SCREEN_H);
    EXPECT_EQ(r.x0, c.want.x0) << c.x << "," << c.y << " " << c.align;
    EXPECT_EQ(r.y0, c.want.y0) << c.x << "," << c.y << " " << c.align;
    EXPECT_EQ(r.x1, c.want.x1);
    EXPECT_EQ(r.y1, c.want.y1);
  }
  PixelRect tall = Menu::place(300, 400, 10, 10, Menu::ALIGN_LEFT, SCREEN_W, SCREEN_H);
  EXPECT_EQ(tall.x0, 0);
  EXPECT_EQ(tall.y0, 0);
  EXPECT_EQ(tall.x1, SCREEN_W);
  EXPECT_EQ(tall.y1, SCREEN_H);
}

TEST_F(DrawnPopupMenuTest, AShownMenuIsPlacedByItsAnchor) {
  // A shot of the right-bottom anchored menu: its lower right corner is at the point.
  std::string shot = dir / "menu.png";
  script("shot " + shot + "\nkey escape\n");
  EXPECT_EQ(Menu::show(0, items(), 200, 150, Menu::ALIGN_RIGHT | Menu::ALIGN_BOTTOM), 0);
  EXPECT_TRUE(golden::matches(shot, "menu-right-bottom.png"));
}

TEST_F(DrawnPopupMenuTest, GreyedItemSeparatorAndCheckMarkLookAsTheGoldenPicture) {
  std::string shot = dir / "menu.png";
  script("key down\nshot " + shot + "\nkey escape\n");
  EXPECT_EQ(Menu::show(0, items(), 20, 40, Menu::ALIGN_LEFT | Menu::ALIGN_TOP), 0);
  EXPECT_TRUE(golden::matches(shot, "menu.png"));
}

TEST_F(DrawnPopupMenuTest, AMenuOfNothingReturnsAtOnce) {
  script("");
  EXPECT_EQ(Menu::show(0, {}, 20, 40, 0), 0);
}

}  // namespace
