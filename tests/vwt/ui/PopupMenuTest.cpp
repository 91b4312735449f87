#include <gtest/gtest.h>
#include <stdlib.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"
#include "vwt/platform/ControlLook.h"
#include "vwt/platform/ScriptAnswers.h"
#include "vwt/ui/ActionListener.h"
#include "vwt/ui/Application.h"
#include "vwt/ui/Frame.h"
#include "vwt/ui/PopupMenu.h"

using vwt::platform::ControlLook;

namespace {

// Opens its menu on the key 1 and writes down what show returned and which commands came.
class MenuFrame : public Frame {
 public:
  explicit MenuFrame(Application* app) : Frame(app, u"menu"_s) {
    menu.add(new MenuItem(30000, u"Select"_s));
    menu.add(new MenuItem(30001, u"Cut"_s, false));
    menu.addSeparator();
    menu.add(new MenuItem(30003, u"Paste"_s, true, true));
  }
  void onKeyPressed(int key) override {
    if (key == 1) log.push_back("shown " + std::to_string(menu.show(this, 10, 10, PopupMenu::ALIGN_LEFT)));
  }
  bool onCommand(int id) override {
    if (id >= 30000) log.push_back("command " + std::to_string(id));
    return Frame::onCommand(id);
  }
  PopupMenu menu;
  std::vector<std::string> log;
};

class PopupMenuTest : public ::testing::Test {
 protected:
  PopupMenuTest() {
    setenv("VWT_DISPLAY", "headless", 1);
    setenv("VWT_SCREEN_SIZE", "240x320", 1);
    setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
    vwt::platform::ScriptAnswers::clear();
  }
  ~PopupMenuTest() override {
    unsetenv("VWT_INPUT_SCRIPT");
    unsetenv("VWT_SCREEN_SIZE");
  }
  MenuFrame* open(const std::string& script) {
    dir.write("input.txt", script);
    setenv("VWT_INPUT_SCRIPT", (dir / "input.txt").c_str(), 1);
    MenuFrame* frame = new MenuFrame(app.get());
    EXPECT_TRUE(frame->initializeWindow(u"PopupMenuTestClass"_s, 0, 0, 0, 0));
    return frame;
  }
  ScratchDirectory dir;
  std::unique_ptr<Application> app{new Application()};
};

TEST_F(PopupMenuTest, TheChosenIdIsReturnedAndReachesOnCommandAfterwards) {
  // The Paste item's middle: below two items and the separator.
  const int pasteY = 10 + ControlLook::BORDER + 2 * ControlLook::MENU_ITEM_HEIGHT +
                     ControlLook::MENU_SEPARATOR_HEIGHT + ControlLook::MENU_ITEM_HEIGHT / 2;
  const int cutY = 10 + ControlLook::BORDER + ControlLook::MENU_ITEM_HEIGHT * 3 / 2;
  MenuFrame* f = open("key 1\nkey down\nkey select\nkey 1\nkey escape\nanswer 30001\nkey 1\nkey 1\ntap 20 " +
                      std::to_string(cutY) + "\ntap 20 " + std::to_string(pasteY) + "\nquit\n");
  EXPECT_EQ(f->menu.getItemCount(), 4);
  EXPECT_EQ(f->menu.getItem(2), nullptr) << "the separator";
  EXPECT_TRUE(f->menu.getItem(3)->isChecked());
  EXPECT_EQ(f->menu.getItem(4), nullptr);
  app->run();
  EXPECT_EQ(f->log, (std::vector<std::string>{"shown 30003", "command 30003", "shown 0", "shown 30001",
                                              "command 30001", "shown 30003", "command 30003"}));
}

TEST_F(PopupMenuTest, AMenuItemFiresItsCommandToItsListeners) {
  struct Listener : ActionListener {
    void actionPerformed(AbstractButton* source, int id) override {
      heard.push_back(id);
      from = source;
    }
    std::vector<int> heard;
    AbstractButton* from = nullptr;
  } listener;
  MenuItem item(30005, u"Select all"_s);
  item.addListener(&listener);
  item.fireActionEvent(30005);
  EXPECT_EQ(listener.heard, std::vector<int>{30005});
  EXPECT_EQ(listener.from, &item);
  item.setEnabled(false);
  item.setChecked(true);
  EXPECT_FALSE(item.isEnabled());
  EXPECT_TRUE(item.isChecked());
  EXPECT_EQ(narrow(item.getText()), "Select all");
}

}  // namespace
