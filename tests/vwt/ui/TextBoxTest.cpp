#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "tests/vwt/GoldenPicture.h"
#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"
#include "vwt/lang/Resource.h"
#include "vwt/platform/Clipboard.h"
#include "vwt/platform/EditControl.h"
#include "vwt/platform/Paths.h"
#include "vwt/platform/PngWriter.h"
#include "vwt/platform/ScriptAnswers.h"
#include "vwt/platform/WindowSystem.h"
#include "vwt/ui/Application.h"
#include "vwt/ui/Frame.h"
#include "vwt/ui/PopupMenu.h"
#include "vwt/ui/TextBox.h"

using namespace vwt::platform;

namespace {

// A frame that writes down what its input-method box tells it.
class ImeFrame : public Frame {
 public:
  explicit ImeFrame(Application* app) : Frame(app, u"ime"_s) {}
  void processIMEEvent(int type, const String& text) override {
    heard.push_back(std::to_string(type) + " " + narrow(text));
  }
  // The box goes with the frame's window: what it held is kept.
  bool onClose() override {
    if (getImeTextBox()) closingText = narrow(getImeTextBox()->getText());
    return true;
  }
  std::vector<std::string> heard;
  std::string closingText;
};

class TextBoxTest : public ::testing::Test {
 protected:
  TextBoxTest() {
    setenv("VWT_DISPLAY", "headless", 1);
    setenv("VWT_SCREEN_SIZE", "240x320", 1);
    setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
    setProgramDirectory(std::string(VWT_SOURCE_DIR) + "/");
    Resource::unload();
    Clipboard::clear();
    ScriptAnswers::clear();
  }
  ~TextBoxTest() override {
    unsetenv("VWT_INPUT_SCRIPT");
    unsetenv("VWT_SCREEN_SIZE");
    app.reset();
    WindowSystem::shutdown();
    setProgramDirectory(std::string());
    Resource::unload();
  }

  // The frame's window, with the script (ending in quit) as its input.
  ImeFrame* open(const std::string& script) {
    dir.write("input.txt", script + "quit\n");
    setenv("VWT_INPUT_SCRIPT", (dir / "input.txt").c_str(), 1);
    ImeFrame* frame = new ImeFrame(app.get());
    EXPECT_TRUE(frame->initializeWindow(u"TextBoxTestClass"_s, 0, 0, 0, 0));
    return frame;
  }

  static TextBox* box(Frame* frame) { return dynamic_cast<TextBox*>(frame->getImeTextBox()); }
  static std::u16string text(Window* w) { return WindowSystem::get().getText(w->getHandle()); }

  ScratchDirectory dir;
  std::unique_ptr<Application> app{new Application()};
};

TEST(TextBoxSelection, TheArrowsMoveTheEndAndCrLfIsOneStep) {
  // a b CR LF c d e f CR LF g: lines "ab", "cdef", "g".
  const String text = u"ab\r\ncdef\r\ng"_s;
  struct Case {
    int end;
    int column;
    int key;
    int wantEnd;
    int wantColumn;
  } cases[] = {
      {1, 1, Window::KEY_RIGHT, 2, 2},
      {2, 2, Window::KEY_RIGHT, 4, 0},
      {11, 0, Window::KEY_RIGHT, 11, 1},
      {4, 0, Window::KEY_LEFT, 2, 2},
      {0, 0, Window::KEY_LEFT, 0, 0},
      {5, 1, Window::KEY_LEFT, 4, 0},
      // Up keeps the column where the line is long enough, else stops at the line's end.
      {5, 1, Window::KEY_UP, 1, 1},
      {7, 3, Window::KEY_UP, 2, 3},
      {10, 0, Window::KEY_UP, 4, 0},
      // On the first line up goes to the start.
      {1, 1, Window::KEY_UP, 0, 1},
      // Down: to the next line at the column, or its end; on the last line to the end of the text.
      {1, 1, Window::KEY_DOWN, 5, 1},
      {1, 3, Window::KEY_DOWN, 7, 3},
      {6, 2, Window::KEY_DOWN, 11, 2},
      {10, 0, Window::KEY_DOWN, 11, 0},
      {2, 2, Window::KEY_DOWN, 6, 2},
  };
  for (const Case& c : cases) {
    int column = c.column;
    EXPECT_EQ(TextBox::moveSelectEnd(text, c.end, c.key, &column), c.wantEnd) << c.end << " key " << c.key;
    EXPECT_EQ(column, c.wantColumn) << c.end << " key " << c.key;
  }
  EXPECT_EQ(TextBox::columnOf(text, 7), 3);
  EXPECT_EQ(TextBox::columnOf(text, 1), 1);
  EXPECT_EQ(TextBox::columnOf(text, 4), 0);
}

TEST_F(TextBoxTest, TheBoxFillsTheFrameWithCrLfTextAndTheSoftLabels) {
  ImeFrame* frame = open("");
  frame->imeOn(u"one\ntwo"_s, TextBox::STYLE_MULTILINE | TextBox::STYLE_CARET_AT_END, 1);
  TextBox* b = box(frame);
  ASSERT_NE(b, nullptr);
  EXPECT_TRUE(frame->isImeVisible());
  EXPECT_EQ(b->getWidth(), frame->getWidth());
  EXPECT_EQ(b->getHeight(), frame->getHeight());
  EXPECT_EQ(text(b), u"one\r\ntwo");
  EXPECT_EQ(narrow(b->getText()), "one\ntwo");
  EXPECT_EQ(EditControl::getCaret(b->getHandle()), 8);
  EXPECT_EQ(WindowSystem::get().getFocus(), b->getHandle());
  EXPECT_EQ(narrow(frame->getSoftLabel(Frame::SOFT_KEY_LEFT)), "Done");
  EXPECT_EQ(narrow(frame->getSoftLabel(Frame::SOFT_KEY_RIGHT)), "Edit");
  frame->setImeTextBoxSize(100, 50);
  EXPECT_EQ(b->getWidth(), 100);

  frame->imeOn(u"abc"_s, TextBox::STYLE_SELECT_ALL, 1);
  b = box(frame);
  int start, end;
  EditControl::getSelection(b->getHandle(), &start, &end);
  EXPECT_EQ(start, 0);
  EXPECT_EQ(end, 3);
}

TEST_F(TextBoxTest, DoneAndCancelHideTheBoxAndGiveTheFrameLfText) {
  ImeFrame* frame = open("type !\nkey soft1\n");
  frame->imeOn(u"one\ntwo"_s, TextBox::STYLE_MULTILINE | TextBox::STYLE_CARET_AT_END, 1);
  app->run();
  EXPECT_EQ(frame->heard, (std::vector<std::string>{"0 one\ntwo!"}));
  EXPECT_FALSE(frame->isImeVisible());
}

TEST_F(TextBoxTest, TheMenuCancelsAndDigitsModeRefusesLetters) {
  ImeFrame* frame = open("type a1b2\nanswer 30006\nkey soft2\n");
  frame->imeOn(u""_s, 0, TextBox::IME_MODE_DIGITS);
  app->run();
  EXPECT_EQ(frame->heard, (std::vector<std::string>{"1 12"}));
}

TEST_F(TextBoxTest, SelectionModeThroughTheMenuThenCut) {
  // Caret at 0; select mode; right, down: "ab CR LF c" is selected; cut it.
  ImeFrame* frame =
      open("answer 30000\nkey soft2\nkey right\nkey down\nanswer 30001\nkey soft2\nkey soft1\n");
  frame->imeOn(u"ab\ncdef"_s, TextBox::STYLE_MULTILINE, 1);
  app->run();
  EXPECT_EQ(Clipboard::getText(), u"ab\r\nc");
  EXPECT_EQ(frame->heard, (std::vector<std::string>{"0 def"}));
}

TEST_F(TextBoxTest, TheMenuOffersCutCopyAndClearOnlyWithASelection) {
  ImeFrame* frame = open("");
  frame->imeOn(u"hello"_s, 0, 1);
  TextBox* b = box(frame);
  const int ids[] = {TextBox::MENU_SELECT, TextBox::MENU_CUT,        TextBox::MENU_COPY,  TextBox::MENU_PASTE,
                     TextBox::MENU_CLEAR,  TextBox::MENU_SELECT_ALL, TextBox::MENU_CANCEL};
  auto offered = [&] {
    std::string s;
    for (int id : ids) s += b->isMenuCommandEnabled(id) ? '1' : '0';
    return s;
  };
  EXPECT_EQ(offered(), "1001011");
  EditControl::setSelection(b->getHandle(), 1, 3);
  EXPECT_EQ(offered(), "1111111");
  // In selection mode the length is the mode's own.
  b->actionPerformed(nullptr, TextBox::MENU_SELECT);
  EXPECT_TRUE(b->isSelecting());
  EXPECT_EQ(b->getSelectionLength(), 0);
  EXPECT_EQ(offered(), "1001011");
  b->actionPerformed(nullptr, TextBox::MENU_SELECT_ALL);
  EXPECT_EQ(b->getSelectionLength(), 5);
  EXPECT_EQ(offered(), "1111111");
  b->actionPerformed(nullptr, TextBox::MENU_COPY);
  EXPECT_FALSE(b->isSelecting());
  EXPECT_EQ(Clipboard::getText(), u"hello");
}

TEST_F(TextBoxTest, TheMenuItemsAreTheEditCommandsWithTheirTexts) {
  // The menu is dismissed: nothing happens to the text.
  ImeFrame* frame = open("answer 0\nkey soft2\n");
  frame->imeOn(u"x"_s, 0, 1);
  app->run();
  PopupMenu* menu = box(frame)->getMenu();
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(menu->getItemCount(), 7);
  const char* texts[] = {"Select", "Cut", "Copy", "Paste", "Delete", "Select all", "Cancel"};
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(menu->getItem(i)->getId(), TextBox::MENU_SELECT + i);
    EXPECT_EQ(narrow(menu->getItem(i)->getText()), texts[i]);
  }
  EXPECT_FALSE(menu->getItem(1)->isEnabled());
  EXPECT_TRUE(menu->getItem(3)->isEnabled());
  EXPECT_EQ(frame->closingText, "x");
}

TEST_F(TextBoxTest, TheBackKeyDeletesTheSelectionOrTheCharacterBefore) {
  ImeFrame* frame = open("");
  frame->imeOn(u"ab\ncd"_s, TextBox::STYLE_MULTILINE | TextBox::STYLE_CARET_AT_END, 1);
  TextBox* b = box(frame);
  frame->onKeyPressedBack();
  EXPECT_EQ(text(b), u"ab\r\nc");
  frame->onKeyPressedBack();
  frame->onKeyPressedBack();
  EXPECT_EQ(text(b), u"ab");
  EditControl::setSelection(b->getHandle(), 0, 1);
  frame->onKeyPressedBack();
  EXPECT_EQ(text(b), u"b");
}

TEST(TextBoxMenu, TheMenuOpensTowardsTheMiddleOfTheFrame) {
  struct Case {
    int x, y, want;
  } cases[] = {
      {10, 10, PopupMenu::ALIGN_LEFT | PopupMenu::ALIGN_TOP},
      {230, 10, PopupMenu::ALIGN_RIGHT | PopupMenu::ALIGN_TOP},
      {10, 260, PopupMenu::ALIGN_LEFT | PopupMenu::ALIGN_BOTTOM},
      {240, 268, PopupMenu::ALIGN_RIGHT | PopupMenu::ALIGN_BOTTOM},
  };
  for (const Case& c : cases) EXPECT_EQ(TextBox::menuAlignment(c.x, c.y, 0, 0, 240, 268), c.want);
}

TEST_F(TextBoxTest, FieldsLookAsTheGoldenPictures) {
  ImeFrame* frame = open("");
  WindowSystem& ws = WindowSystem::get();
  TextBox selection(frame, 8, 8, 224, 26, u"Hello, world"_s, 0, 1);
  EditControl::setSelection(selection.getHandle(), 7, 12);
  TextBox password(frame, 8, 44, 224, 26, u"secret"_s, TextBox::STYLE_PASSWORD, 1);
  TextBox japanese(frame, 8, 80, 224, 90,
                   u"日本語のテキストを表示します。長い行は枠の幅で折り返されます。\n二行目\n三行目"_s,
                   TextBox::STYLE_MULTILINE, 2);
  ws.update();
  struct Shot {
    TextBox* box;
    const char* name;
  } shots[] = {
      {&selection, "edit-selection.png"}, {&password, "edit-password.png"}, {&japanese, "edit-japanese.png"}};
  for (const Shot& s : shots) {
    PixelRect r = ws.getScreenRect(s.box->getHandle());
    // The field and a pixel around it: the border is in the picture whole.
    r.x0 -= 1, r.y0 -= 1, r.x1 += 1, r.y1 += 1;
    PixelTarget screen = ws.screen();
    std::vector<uint32_t> pixels;
    for (int y = r.y0; y < r.y1; ++y)
      for (int x = r.x0; x < r.x1; ++x) pixels.push_back(screen.pixels[y * screen.stride + x]);
    PixelTarget picture{pixels.data(), r.x1 - r.x0, r.x1 - r.x0, r.y1 - r.y0};
    std::string shot = dir / s.name;
    ASSERT_TRUE(writePng(shot, picture));
    EXPECT_TRUE(golden::matches(shot, s.name));
  }
}

}  // namespace
