#include <gtest/gtest.h>

#include <string>

#include "tests/vwt/GoldenPicture.h"
#include "tests/vwt/platform/DrawnControlsFixture.h"
#include "vwt/platform/ControlLook.h"
#include "vwt/platform/DrawnMessageBox.h"

using namespace vwt::platform;

namespace {

using Box = DrawnMessageBox;

class DrawnMessageBoxTest : public DrawnControlsFixture {
 protected:
  // "X Y": the screen centre of button i of n in a box whose text takes one line.
  static std::string at(int i, int n) {
    const int boxH = 2 * ControlLook::BORDER + ControlLook::CAPTION_HEIGHT + 3 * ControlLook::PADDING +
                     ControlLook::ICON_SIZE + ControlLook::BUTTON_HEIGHT;
    const int y = (SCREEN_H - boxH) / 2 + boxH - ControlLook::BORDER - ControlLook::PADDING -
                  ControlLook::BUTTON_HEIGHT / 2;
    const int step = ControlLook::BUTTON_MIN_WIDTH + ControlLook::GAP;
    const int x =
        SCREEN_W / 2 - (n * step - ControlLook::GAP) / 2 + i * step + ControlLook::BUTTON_MIN_WIDTH / 2;
    return std::to_string(x) + " " + std::to_string(y);
  }
};

TEST_F(DrawnMessageBoxTest, KeysAndSoftKeysPressTheButtonsOfEachSet) {
  struct Case {
    int buttons;
    const char* keys;
    int want;
  } cases[] = {
      {Box::BUTTONS_OK, "key select\n", Box::RESULT_OK},
      {Box::BUTTONS_OK, "key escape\n", Box::RESULT_OK},
      {Box::BUTTONS_YES_NO, "key select\n", Box::RESULT_YES},
      {Box::BUTTONS_YES_NO, "key right\nkey select\n", Box::RESULT_NO},
      {Box::BUTTONS_YES_NO, "key left\nkey select\n", Box::RESULT_NO},
      {Box::BUTTONS_YES_NO, "key right\nkey right\nkey select\n", Box::RESULT_YES},
      {Box::BUTTONS_YES_NO, "key escape\n", Box::RESULT_NO},
      {Box::BUTTONS_YES_NO, "key soft1\n", Box::RESULT_YES},
      {Box::BUTTONS_YES_NO, "key soft2\n", Box::RESULT_NO},
      {Box::BUTTONS_YES_NO_CANCEL, "key right\nkey right\nkey select\n", Box::RESULT_CANCEL},
      {Box::BUTTONS_YES_NO_CANCEL, "key escape\n", Box::RESULT_CANCEL},
      {Box::BUTTONS_YES_NO_CANCEL, "key soft2\n", Box::RESULT_CANCEL},
      {Box::BUTTONS_YES_NO_CANCEL, "key 5\nkey right\nkey select\n", Box::RESULT_NO},
  };
  for (const Case& c : cases) {
    script(c.keys);
    EXPECT_EQ(Box::show(0, u"Title", u"Go on?", c.buttons, Box::ICON_QUESTION), c.want) << c.keys;
    WindowSystem::shutdown();
  }
}

TEST_F(DrawnMessageBoxTest, ATapPressesTheButtonUnderTheStylus) {
  struct Case {
    int buttons, n, button, want;
  } cases[] = {
      {Box::BUTTONS_OK, 1, 0, Box::RESULT_OK},
      {Box::BUTTONS_YES_NO, 2, 0, Box::RESULT_YES},
      {Box::BUTTONS_YES_NO, 2, 1, Box::RESULT_NO},
      {Box::BUTTONS_YES_NO_CANCEL, 3, 2, Box::RESULT_CANCEL},
  };
  for (const Case& c : cases) {
    // A tap beside the box and a drag off a button press nothing.
    script("tap 2 2\npress " + at(c.button, c.n) + "\nrelease 2 2\ntap " + at(c.button, c.n) + "\n");
    EXPECT_EQ(Box::show(0, u"Title", u"Go on?", c.buttons, Box::ICON_QUESTION), c.want)
        << c.buttons << c.button;
    WindowSystem::shutdown();
  }
}

TEST_F(DrawnMessageBoxTest, AScriptAnswerEndsTheBoxAtOnce) {
  script("key select\n");
  ScriptAnswers::push(Box::RESULT_NO, "");
  ScriptAnswers::push(Box::RESULT_YES, "");
  EXPECT_EQ(Box::show(0, u"A", u"B", Box::BUTTONS_YES_NO, Box::ICON_QUESTION), Box::RESULT_NO);
  EXPECT_EQ(Box::show(0, u"A", u"B", Box::BUTTONS_YES_NO, Box::ICON_QUESTION), Box::RESULT_YES);
  EXPECT_EQ(ScriptAnswers::count(), 0);
  EXPECT_TRUE(WindowSystem::get().isScriptRunning()) << "no input was needed";
}

TEST_F(DrawnMessageBoxTest, WithoutAWindowSystemTheBoxIsCancelled) {
  WindowSystem::shutdown();
  EXPECT_EQ(Box::show(0, u"A", u"B", Box::BUTTONS_YES_NO, Box::ICON_QUESTION), Box::RESULT_CANCEL);
  EXPECT_FALSE(WindowSystem::exists());
}

TEST_F(DrawnMessageBoxTest, EachIconLooksAsItsGoldenPicture) {
  struct Case {
    int icon, buttons;
    const char16_t* text;
    const char* name;
  } cases[] = {
      {Box::ICON_STOP, Box::BUTTONS_OK, u"The page could not be saved: the disk is full.",
       "message-stop.png"},
      {Box::ICON_WARNING, Box::BUTTONS_OK, u"The connection is not secure.\nSend the form anyway?",
       "message-warning.png"},
      {Box::ICON_INFORMATION, Box::BUTTONS_OK, u"Download finished.", "message-information.png"},
      {Box::ICON_QUESTION, Box::BUTTONS_YES_NO_CANCEL,
       u"Save the changes to the bookmarks before the browser closes? A long text wraps between words.",
       "message-question.png"},
  };
  for (const Case& c : cases) {
    std::string shot = dir / c.name;
    script("shot " + shot + "\nkey escape\n");
    Box::show(0, u"Browser", c.text, c.buttons, c.icon);
    EXPECT_TRUE(golden::matches(shot, c.name));
    WindowSystem::shutdown();
  }
}

}  // namespace
