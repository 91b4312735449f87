#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "vwt/lang/String.h"
#include "vwt/platform/Clipboard.h"
#include "vwt/platform/ControlLook.h"
#include "vwt/platform/EditControl.h"
#include "vwt/platform/FontEngine.h"
#include "vwt/platform/InputScript.h"
#include "vwt/platform/MessageKinds.h"
#include "vwt/platform/WindowSystem.h"

using namespace vwt::platform;

namespace {

const int FIELD_X = 10;
const int FIELD_Y = 20;
// The border and the padding before the first character.
const int TEXT_INSET = 3;

std::string narrow(const std::u16string& s) { return std::string(s.begin(), s.end()); }
std::u16string wide(const std::string& s) { return std::u16string(s.begin(), s.end()); }

FontFace* fieldFace() {
  return FontEngine::instance().face(String(ControlLook::FONT_FACE, false), ControlLook::FONT_HEIGHT, false);
}

int textWidth(const std::u16string& s) {
  return FontEngine::instance().measure(fieldFace(), s.data(), static_cast<int>(s.size()));
}

// Edit controls in a screen-sized window of the process's window system, driven by scripts.
class EditControlTest : public ::testing::Test {
 protected:
  EditControlTest() {
    setenv("VWT_DISPLAY", "headless", 1);
    setenv("VWT_SCREEN_SIZE", "240x320", 1);
    unsetenv("VWT_INPUT_SCRIPT");
    Clipboard::clear();
    WindowSystem& ws = WindowSystem::get();
    ws.registerClass(WindowClass{u"host",
                                 [this](WindowHandle, uint32_t kind, uintptr_t wParam, intptr_t) -> intptr_t {
                                   if (kind == WM_CLOSE) WindowSystem::get().postQuit(0);
                                   if (kind == WM_COMMAND)
                                     commands.push_back(static_cast<int>(lowWord(wParam)));
                                   return 0;
                                 },
                                 0xFFFFFFu});
    host = ws.createWindow(u"host", u"", STYLE_VISIBLE, 0, 0, 0, 240, 320);
  }
  ~EditControlTest() override { WindowSystem::shutdown(); }

  WindowHandle field(uint32_t style, const std::string& text, int width = 200, int height = 24) {
    WindowHandle h =
        EditControl::create(host, FIELD_X, FIELD_Y, width, height, style | STYLE_VISIBLE, wide(text));
    WindowSystem::get().setFocus(h);
    return h;
  }

  // Runs the script to its end through the loop a program has, then what its input left queued.
  void run(const std::string& script) {
    std::string error;
    int line = 0;
    std::unique_ptr<InputScript> s = InputScript::parse(script, &error, &line);
    ASSERT_TRUE(s) << error;
    WindowSystem& ws = WindowSystem::get();
    ws.setInputScript(std::move(s));
    Message m;
    while (ws.isScriptRunning() && ws.get(&m)) {
      ws.translate(m);
      ws.dispatch(m);
    }
    for (int guard = 0; guard < 10000 && ws.peek(&m, true); ++guard) {
      ws.translate(m);
      ws.dispatch(m);
    }
  }

  static std::string text(WindowHandle h) { return narrow(WindowSystem::get().getText(h)); }
  static std::string selected(WindowHandle h) {
    int s, e;
    EditControl::getSelection(h, &s, &e);
    return narrow(WindowSystem::get().getText(h).substr(s, e - s));
  }

  // The field's pixels inside its border.
  static std::vector<uint32_t> pixels(WindowHandle h) {
    WindowSystem& ws = WindowSystem::get();
    ws.update();
    PixelRect r = ws.getScreenRect(h);
    PixelTarget screen = ws.screen();
    std::vector<uint32_t> out;
    for (int y = r.y0 + 1; y < r.y1 - 1; ++y)
      for (int x = r.x0 + 1; x < r.x1 - 1; ++x)
        out.push_back(screen.pixels[y * screen.stride + x] & 0xFFFFFFu);
    return out;
  }

  WindowHandle host = 0;
  std::vector<int> commands;
};

TEST_F(EditControlTest, TypingBackspaceAndDeleteEditAtTheCaret) {
  WindowHandle h = field(0, "");
  run("type hello\nkey left\nkey left\ntype X\nkey backspace\nkey delete\ntype 日本\n");
  EXPECT_EQ(WindowSystem::get().getText(h), u"hel日本o");
  EXPECT_EQ(EditControl::getCaret(h), 5);
}

TEST_F(EditControlTest, ShiftAndTheArrowsSelect) {
  struct Case {
    const char* start;
    int caret;
    const char* keys;
    const char* selection;
    const char* afterTyping;  // the selection replaced by "Z"
  } cases[] = {
      {"abcdef", 1, "key shift down\nkey right\nkey right\nkey shift up\n", "bc", "aZdef"},
      {"abcdef", 4, "key shift down\nkey left\nkey left\nkey left\nkey shift up\n", "bcd", "aZef"},
      // Without shift an arrow ends the selection at its side.
      {"abcdef", 1, "key shift down\nkey right\nkey shift up\nkey right\n", "", "abZcdef"},
      // A CR LF pair is one step.
      {"ab\r\ncd", 2, "key shift down\nkey right\nkey right\nkey shift up\n", "\r\nc", "abZd"},
  };
  for (const Case& c : cases) {
    WindowHandle h = field(EditControl::EDIT_MULTILINE, c.start, 200, 60);
    EditControl::setSelection(h, c.caret, c.caret);
    run(c.keys);
    EXPECT_EQ(selected(h), c.selection) << c.keys;
    run("type Z\n");
    EXPECT_EQ(text(h), c.afterTyping) << c.keys;
    WindowSystem::get().destroyWindow(h);
  }
}

TEST_F(EditControlTest, PressAndDragSelectsAndShiftPressExtends) {
  WindowHandle h = field(0, "hello world");
  const int left = FIELD_X + TEXT_INSET, y = FIELD_Y + 12;
  const int afterHello = left + textWidth(u"hello");
  run("drag " + std::to_string(left + 1) + " " + std::to_string(y) + " " + std::to_string(afterHello) + " " +
      std::to_string(y) + " 64\n");
  EXPECT_EQ(selected(h), "hello");
  // Dragged past the right end: everything up to the end.
  run("drag " + std::to_string(afterHello) + " " + std::to_string(y) + " 235 " + std::to_string(y) + " 32\n");
  EXPECT_EQ(selected(h), " world");
  run("tap " + std::to_string(left + 1) + " " + std::to_string(y) + "\nkey shift down\ntap " +
      std::to_string(afterHello) + " " + std::to_string(y) + "\nkey shift up\n");
  EXPECT_EQ(selected(h), "hello");
}

TEST_F(EditControlTest, CutCopyAndPasteGoThroughTheClipboard) {
  WindowHandle h = field(0, "one two");
  EditControl::setSelection(h, 0, 4);
  EditControl::cut(h);
  EXPECT_EQ(text(h), "two");
  EXPECT_EQ(Clipboard::getText(), u"one ");
  EditControl::setSelection(h, 3, 3);
  EditControl::paste(h);
  EXPECT_EQ(text(h), "twoone ");
  EditControl::selectAll(h);
  EditControl::copy(h);
  EXPECT_EQ(Clipboard::getText(), u"twoone ");
  EditControl::setSelection(h, 0, 3);
  EditControl::clear(h);
  EXPECT_EQ(text(h), "one ");
  EXPECT_EQ(Clipboard::getText(), u"twoone ") << "clearing copies nothing";

  // A single-line field takes the first line of a pasted text; a multi-line one all of it.
  Clipboard::setText(u"first\nsecond");
  EditControl::selectAll(h);
  EditControl::paste(h);
  EXPECT_EQ(text(h), "first");
  WindowHandle multi = field(EditControl::EDIT_MULTILINE, "", 200, 60);
  EditControl::paste(multi);
  EXPECT_EQ(text(multi), "first\r\nsecond");
}

TEST_F(EditControlTest, APasswordShowsStarsAndIsNotCopied) {
  WindowHandle secret = field(EditControl::EDIT_PASSWORD, "abc");
  WindowHandle stars = EditControl::create(host, FIELD_X, FIELD_Y + 40, 200, 24, STYLE_VISIBLE, u"***");
  WindowHandle plain = EditControl::create(host, FIELD_X, FIELD_Y + 80, 200, 24, STYLE_VISIBLE, u"abc");
  WindowSystem::get().setFocus(host);
  EXPECT_EQ(pixels(secret), pixels(stars));
  EXPECT_NE(pixels(secret), pixels(plain));
  EXPECT_EQ(text(secret), "abc");
  Clipboard::setText(u"kept");
  EditControl::selectAll(secret);
  EditControl::copy(secret);
  EditControl::cut(secret);
  EXPECT_EQ(Clipboard::getText(), u"kept");
  EXPECT_EQ(text(secret), "abc");
}

TEST_F(EditControlTest, DigitsOnlyAndTheLimitRefuseCharacters) {
  struct Case {
    uint32_t style;
    int limit;
    const char* start;
    const char* script;
    const char16_t* clipboard;
    const char* want;
  } cases[] = {
      {EditControl::EDIT_DIGITS, 0, "", "type a1b2 3\nkey 4\n", nullptr, "1234"},
      {0, 5, "", "type abcdefg\n", nullptr, "abcde"},
      // At the limit a selection can still be typed over.
      {0, 5, "abcde", "key shift down\nkey right\nkey shift up\ntype XY\n", nullptr, "Xbcde"},
      {0, 5, "abc", "key right\nkey right\nkey right\n", u"12345", "abc12"},
      {EditControl::EDIT_DIGITS, 4, "", "", u"1a2b3c4d5", "1234"},
      {EditControl::EDIT_MULTILINE, 4, "ab", "key right\nkey right\n", u"c\r\nd", "abc"},
  };
  for (const Case& c : cases) {
    WindowHandle h = field(c.style, c.start, 200, 60);
    EditControl::setLimit(h, c.limit);
    if (*c.script) run(c.script);
    if (c.clipboard) {
      Clipboard::setText(c.clipboard);
      EditControl::paste(h);
    }
    EXPECT_EQ(text(h), c.want) << c.script;
    WindowSystem::get().destroyWindow(h);
  }
}

TEST_F(EditControlTest, AMultiLineFieldWrapsAndScrollsToTheCaret) {
  // Three lines of room.
  const int lineHeight = FontEngine::instance().height(fieldFace()) + ControlLook::LINE_GAP;
  WindowHandle h = field(EditControl::EDIT_MULTILINE, "", 120, 3 * lineHeight + 2 * TEXT_INSET);
  run("type 1\nkey select\ntype 2\nkey select\ntype 3\nkey select\ntype 4\nkey select\ntype 5\n");
  EXPECT_EQ(text(h), "1\r\n2\r\n3\r\n4\r\n5");
  EXPECT_EQ(EditControl::getLineCount(h), 5);
  EXPECT_EQ(EditControl::getFirstVisibleLine(h), 2);
  run("key up\nkey up\nkey up\n");
  EXPECT_EQ(EditControl::getFirstVisibleLine(h), 1);
  run("key up\n");
  EXPECT_EQ(EditControl::getFirstVisibleLine(h), 0);
  EXPECT_EQ(EditControl::getCaret(h), 1);

  // A long line wraps at a blank, a long word where it must.
  WindowSystem::get().setText(h, u"aaaa bbbb cccc dddd eeee ffff gggg");
  EXPECT_GT(EditControl::getLineCount(h), 2);
  WindowSystem::get().setText(h, std::u16string(60, u'x'));
  EXPECT_GT(EditControl::getLineCount(h), 3);
  EditControl::setSelection(h, 60, 60);
  EXPECT_GT(EditControl::getFirstVisibleLine(h), 0);
}

TEST_F(EditControlTest, ASingleLineFieldScrollsSidewaysToKeepTheCaret) {
  WindowHandle h = field(0, "", 60, 24);
  run("type abcdefghijklmnop\n");
  EXPECT_GT(EditControl::getScrollX(h), 0);
  const int scrolled = EditControl::getScrollX(h);
  EXPECT_EQ(scrolled, textWidth(u"abcdefghijklmnop") - (60 - 2 * TEXT_INSET) + 1);
  std::string home;
  for (int i = 0; i < 16; ++i) home += "key left\n";
  run(home);
  EXPECT_EQ(EditControl::getScrollX(h), 0);
  EXPECT_EQ(EditControl::getCaret(h), 0);
}

TEST_F(EditControlTest, EnterAndEscapeAreCommandsToTheParent) {
  WindowHandle single = field(0, "name");
  run("key select\nkey escape\n");
  EXPECT_EQ(commands, (std::vector<int>{EditControl::ENTER_COMMAND, EditControl::ESCAPE_COMMAND}));
  EXPECT_EQ(text(single), "name");
  commands.clear();
  WindowHandle multi = field(EditControl::EDIT_MULTILINE, "", 200, 60);
  run("key select\n");
  EXPECT_TRUE(commands.empty());
  EXPECT_EQ(text(multi), "\r\n");
}

TEST_F(EditControlTest, ATextSetFromOutsideIsShownWithTheCaretAtTheStart) {
  WindowHandle h = field(0, "old text");
  EditControl::setSelection(h, 8, 8);
  WindowSystem::get().setText(h, u"new");
  EXPECT_EQ(EditControl::getCaret(h), 0);
  EXPECT_EQ(EditControl::getAnchor(h), 0);
  run("type >\n");
  EXPECT_EQ(text(h), ">new");
  EXPECT_TRUE(EditControl::isEditControl(h));
  EXPECT_FALSE(EditControl::isEditControl(host));
  WindowSystem::get().destroyWindow(h);
  EXPECT_FALSE(EditControl::isEditControl(h));
}

}  // namespace
