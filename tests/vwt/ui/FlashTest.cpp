#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/vwt/TestText.h"
#include "tests/vwt/ui/WidgetScreen.h"
#include "vwt/lang/Exception.h"
#include "vwt/platform/WindowSystem.h"
#include "vwt/ui/Flash.h"
#include "vwt/ui/Graphics.h"

using namespace vwt::platform;

namespace {

// The parameter file's bytes: a big-endian count, then texts as a 16-bit length and the bytes.
std::string count(int32_t n) {
  uint32_t u = static_cast<uint32_t>(n);
  return std::string{static_cast<char>(u >> 24), static_cast<char>(u >> 16), static_cast<char>(u >> 8),
                     static_cast<char>(u)};
}
std::string text(const std::string& s) {
  return std::string{static_cast<char>(s.size() >> 8), static_cast<char>(s.size() & 255)} + s;
}
std::string params(const std::vector<std::pair<std::string, std::string>>& pairs) {
  std::string out = count(static_cast<int32_t>(pairs.size()));
  for (const auto& p : pairs) out += text(p.first) + text(p.second);
  return out;
}

class FlashTest : public WidgetScreen {
 protected:
  // A movie in the scratch folder with its parameter file.
  String movie(const std::string& paramBytes, const std::string& name = "movie.swf") {
    program.dir.write(name + ".param", paramBytes);
    return wide(program.dir / name);
  }
};

TEST_F(FlashTest, ParseColor) {
  struct Case {
    const char16_t* s;
    int want;
  } cases[] = {{u"#ff8000", 0xFF8000}, {u"0x00FF00", 0x00FF00},   {u"red", 0xFFFFFF}, {u"", 0xFFFFFF},
               {u"#", 0xFFFFFF},       {u"0xZZ", 0xFFFFFF},       {u"#abc", 0xABC},   {u"#12zz", 0x12},
               {u"a #10 0x20", 0x20},  {u"#123456789", 0xFFFFFF}, {u"0X10", 0xFFFFFF}};
  for (const Case& c : cases)
    EXPECT_EQ(Flash::parseColor(String(c.s, false)), c.want) << narrow(String(c.s, false));
}

TEST_F(FlashTest, TheWindowsOfTheMovie) {
  WidgetFrame* f = open();
  String path = movie(params({}));
  int host = 0, control = 0;
  {
    Flash flash(f, path, 10, 20, 120, 80);
    EXPECT_EQ(flash.getX(), 10);
    EXPECT_EQ(flash.getY(), 20);
    EXPECT_EQ(flash.getWidth(), 120);
    EXPECT_EQ(flash.getHeight(), 80);
    WindowSystem& ws = WindowSystem::get();
    EXPECT_EQ(ws.getClassName(flash.getHandle()), std::u16string(u"veskFlash") + path.getCString());
    EXPECT_EQ(ws.getParent(flash.getHandle()), f->getHandle());
    ASSERT_NE(flash.getATLWindow(), nullptr);
    host = flash.getHandle();
    control = flash.getATLWindow()->getHandle();
    EXPECT_EQ(ws.getParent(control), flash.getHandle());
    EXPECT_EQ(app->getWindowFromHandle(flash.getHandle()), &flash);
    EXPECT_EQ(app->getWindowFromHandle(control), &flash);
    EXPECT_NE(flash.getGraphics(), nullptr);
    EXPECT_TRUE(flash.getProperties().playing);
    EXPECT_EQ(flash.getProperties().wMode, u"Transparent");
    EXPECT_EQ(narrow(flash.getProperties().movie), "file://" + narrow(path));
    // Input forwarded from the frame reaches the control's window.
    f->setDispatchEvent(flash.getATLWindow());
    f->dispatchEvent(0x0201, 1, 0);
    EXPECT_EQ(flash.getProperties().singleClicks, 1);
    f->clearDispatch();
    // The host procedure draws on every timer; other messages are left alone.
    EXPECT_EQ(Flash::flashProcedure(flash.getHandle(), 0x0113, 1, 0), 0);
    // A second movie of the same file shares its window class.
    Flash again(f, path, 0, 0, 10, 10);
    EXPECT_NE(again.getHandle(), flash.getHandle());
  }
  EXPECT_FALSE(WindowSystem::get().isWindow(host));
  EXPECT_FALSE(WindowSystem::get().isWindow(control));
  EXPECT_EQ(app->getWindowFromHandle(host), nullptr);
  EXPECT_EQ(app->getWindowFromHandle(control), nullptr);
}

TEST_F(FlashTest, ThePlaceholderShowsTheBackgroundAFrameAndTheName) {
  WidgetFrame* f = open();
  Flash flash(f, movie(params({{"BGCOLOR", "#FF8000"}}), "intro.swf"), 10, 20, 120, 60);
  EXPECT_EQ(pixel(10, 20), 0x808080u);   // frame
  EXPECT_EQ(pixel(129, 79), 0x808080u);  // its far corner: inside the rectangle
  EXPECT_EQ(pixel(12, 22), 0xFF8000u);   // background
  EXPECT_EQ(pixel(130, 50), static_cast<uint32_t>(WidgetFrame::FRAME_COLOR));
  // The name is drawn dark across the middle, nowhere near the edges.
  int dark = 0;
  for (int y = 35; y < 65; ++y)
    for (int x = 12; x < 128; ++x) {
      uint32_t p = pixel(x, y);
      if (((p >> 16 & 255) + (p >> 8 & 255) + (p & 255)) < 300) ++dark;
    }
  EXPECT_GT(dark, 20);
  EXPECT_EQ(pixel(12, 77), 0xFF8000u);
}

TEST_F(FlashTest, TheParameterFile) {
  WidgetFrame* f = open();
  Flash flash(f,
              movie(params({{"loop", "False"},
                            {"FrameNum", "12"},
                            {"QUALITY", "low"},
                            {"backgroundcolor", "0x102030"},
                            {"SCALEMODE", "2"},
                            {"ALIGNMODE", "5"},
                            {"PLAYING", "false"},
                            {"MENU", "no"},
                            {"UNKNOWN", "x"},
                            {"FLASHVARS", "a=1&b=2"},
                            {"WMODE", "opaque"},
                            {"DEVICEFONT", "TRUE"},
                            {"EMBEDMOVIE", "yes"},
                            {"BASE", "http://x/"},
                            {"QUALITY2", "best"},
                            {"SALIGN", "TL"},
                            {"SCALE", "exactfit"},
                            {"SOUND", "on"},
                            {"SWREMOTE", "r"}})),
              0, 0, 50, 50);
  const Flash::Properties& p = flash.getProperties();
  EXPECT_FALSE(p.loop);
  EXPECT_EQ(p.frameNum, 12);
  EXPECT_EQ(p.quality, u"low");
  EXPECT_EQ(p.backgroundColor, 0x102030);
  EXPECT_EQ(p.scaleMode, 2);
  EXPECT_EQ(p.alignMode, 5);
  EXPECT_FALSE(p.playing);
  EXPECT_TRUE(p.menu);
  EXPECT_EQ(p.flashVars, u"a=1&b=2");
  EXPECT_EQ(p.wMode, u"opaque");
  EXPECT_TRUE(p.deviceFont);
  EXPECT_TRUE(p.embedMovie);
  EXPECT_EQ(p.base, u"http://x/");
  EXPECT_EQ(p.quality2, u"best");
  EXPECT_EQ(p.sAlign, u"TL");
  EXPECT_EQ(p.scale, u"exactfit");
  EXPECT_EQ(p.sound, u"on");
  EXPECT_EQ(p.swRemote, u"r");
}

TEST_F(FlashTest, FlagsAndNumbers) {
  WidgetFrame* f = open();
  Flash flash(f, movie(params({})), 0, 0, 50, 50);
  struct Case {
    const char16_t* key;
    const char16_t* value;
    bool loop;
    int frame;
  } cases[] = {{u"LOOP", u"false", false, 0},  {u"LOOP", u"no", true, 0},
               {u"loop", u"FALSE", false, 0},  {u"LOOP", u"", true, 0},
               {u"FRAMENUM", u"7", true, 7},   {u"FRAMENUM", u"abc", true, 7},
               {u"FRAMENUM", u"", true, 7},    {u"FRAMENUM", u"3x", true, 7},
               {u"FRAMENUM", u"-2", true, -2}, {u"FRAMENUM", u"99999999999", true, -2}};
  for (const Case& c : cases) {
    flash.setParameter(String(c.key, false), String(c.value, false));
    EXPECT_EQ(flash.getProperties().loop, c.loop)
        << narrow(String(c.key, false)) << "=" << narrow(String(c.value, false));
    EXPECT_EQ(flash.getProperties().frameNum, c.frame)
        << narrow(String(c.key, false)) << "=" << narrow(String(c.value, false));
  }
}

TEST_F(FlashTest, ADamagedParameterFileIsAnExceptionAndChangesNothing) {
  WidgetFrame* f = open();
  struct Case {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"empty", ""},
      {"count cut short", std::string("\0\0", 2)},
      {"negative count", count(-1)},
      {"count past the end", count(3) + text("LOOP") + text("false")},
      {"huge count", count(0x7FFFFFFF) + text("LOOP") + text("false")},
      {"key cut short", count(1) + std::string("\0\x0a", 2) + "LOO"},
      {"value missing", count(1) + text("LOOP")},
      {"value cut short", count(1) + text("LOOP") + std::string("\0\x05", 2) + "fa"},
      {"bad text", count(1) + text("LOOP") + text("\xff\xfe")},
  };
  for (const Case& c : cases) {
    try {
      Flash flash(f, movie(c.bytes), 0, 0, 50, 50);
      ADD_FAILURE() << c.what << ": no exception";
    } catch (const Exception& e) {
      EXPECT_GT(e.getMessage().length(), 0) << c.what;
    }
  }
  // A count of 0 with bytes after it is a file without parameters.
  Flash fine(f, movie(count(0) + "trailing"), 0, 0, 50, 50);
  EXPECT_TRUE(fine.getProperties().loop);
}

TEST_F(FlashTest, AMissingParameterFileIsTheStreamsException) {
  WidgetFrame* f = open();
  String path = wide(program.dir / "nothing.swf");
  try {
    Flash flash(f, path, 0, 0, 50, 50);
    ADD_FAILURE() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(narrow(e.getRawMessage()), "Cannot open the file " + narrow(path) + ".param for reading.");
  }
}

TEST_F(FlashTest, TapsTwoHundredMillisecondsApart) {
  WidgetFrame* f = open();
  Flash flash(f, movie(params({})), 10, 10, 100, 50);
  int64_t now = 100000;
  flash.setClock([&now] { return now; });
  struct Step {
    int advance, x, y;
    int singles, doubles;
    int64_t last;
  } steps[] = {
      {0, 5, 5, 1, 0, 100000},    // single
      {200, 5, 5, 1, 1, 0},       // double
      {200, 5, 5, 2, 1, 100400},  // single again
      {299, 100, 50, 2, 2, 0},    // the far corner is still the movie
      {1000, 101, 5, 2, 2, 0},    // outside: nothing
      {0, 5, -1, 2, 2, 0},       {0, 0, 0, 3, 2, 101699},
      {300, 0, 0, 4, 2, 101999},  // 300 ms is no longer a double click
  };
  for (const Step& s : steps) {
    now += s.advance;
    flash.click(s.x, s.y);
    EXPECT_EQ(flash.getProperties().singleClicks, s.singles) << s.x << "," << s.y << " at " << now;
    EXPECT_EQ(flash.getProperties().doubleClicks, s.doubles) << s.x << "," << s.y << " at " << now;
    EXPECT_EQ(flash.getLastClickTime(), s.last) << s.x << "," << s.y << " at " << now;
  }
}

}  // namespace
