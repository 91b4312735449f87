#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "tests/vwt/ScratchDirectory.h"
#include "tests/vwt/TestText.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"
#include "vwt/lang/System.h"
#include "vwt/platform/FontEngine.h"
#include "vwt/ui/Font.h"

using vwt::platform::FontEngine;

namespace {

class FontTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program.write("system.ini", "font.face.default=IPAPGothic\nfont.size.list=12, 16,20,,x,+24,-,8\n");
    program.write("res/message.txt", "-1400=font not bound\n");
  }
  // Font only records where it is bound and never looks through the pointer:
  // any address stands in for the Graphics.
  static void bind(vwt::Font* font) { font->bind(reinterpret_cast<Graphics*>(&dummyGraphics)); }

  ScratchProgram program;
  static int dummyGraphics;
};

int FontTest::dummyGraphics = 0;

}  // namespace

TEST_F(FontTest, StyleChoosesTheHeightAndAscentIsFourFifths) {
  struct Case {
    int style, height, ascent;
  } cases[] = {
      {0, 12, 9},        {0x100, 16, 12}, {0x200, 20, 16}, {0x300, 24, 19}, {0x400, 12, 9},
      {0x500, 12, 9},    {0xFF00, 12, 9}, {0x1200, 12, 9},  // bits 8-15 read whole: 0x12 is no style
      {0x10100, 16, 12},                                    // bits above 15 are ignored
      {0x2FF, 20, 16},                                      // and so are bits below 8
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.style);
    std::unique_ptr<vwt::Font> font(vwt::Font::getFont(c.style));
    EXPECT_EQ(font->getHeight(), c.height);
    EXPECT_EQ(font->getAscent(), c.ascent);
    EXPECT_EQ(font->getDescent(), c.height - c.ascent);
    EXPECT_EQ(font->getFaceType(), 0);
    EXPECT_NE(font->getHandle(), nullptr);
  }
}

TEST_F(FontTest, FaceWordSetsPitchAndIsMaskedWhenRead) {
  struct Case {
    int face, faceType;
    bool fixedPitch;
  } cases[] = {
      {0, 0, true},
      {0x73000000, 0x73000000, false},
      {0x73123456, 0x73000000, false},                    // style bits do not change the pitch
      {static_cast<int>(0xF3000000), 0x73000000, false},  // the top bit is not part of the face
      {0x70000000, 0x70000000, true},
      {static_cast<int>(0xFFFFFFFF), 0x7F000000, true},
  };
  FontEngine& engine = FontEngine::instance();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.face);
    std::unique_ptr<vwt::Font> font(vwt::Font::getFont(c.face, 14));
    EXPECT_EQ(font->getFaceType(), c.faceType);
    EXPECT_EQ(font->getHeight(), 14);
    EXPECT_EQ(font->getAscent(), 11);
    EXPECT_EQ(font->getHandle(), engine.face(u"IPAPGothic"_s, 14, c.fixedPitch));
  }
}

TEST_F(FontTest, ExtremeSizesKeepTheirNumbersAndStillMeasure) {
  struct Case {
    int size, ascent;
  } cases[] = {{0x7FFFFFFF, 1717986917}, {0, 0}, {-20, -16}, {1, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    std::unique_ptr<vwt::Font> font(vwt::Font::getFont(0, c.size));
    EXPECT_EQ(font->getHeight(), c.size);
    EXPECT_EQ(font->getAscent(), c.ascent);
    bind(font.get());
    EXPECT_GT(font->stringWidth(u"Ab"_s), 0);  // the engine keeps the face to a sane height
  }
}

TEST_F(FontTest, FaceNameComesFromTheProperty) {
  System::setProperty(u"font.face.default"_s, u"NoSuchFaceAnywhere"_s);
  std::unique_ptr<vwt::Font> unknown(vwt::Font::getFont(0, 12));
  EXPECT_EQ(unknown->getHandle(), FontEngine::instance().face(u"NoSuchFaceAnywhere"_s, 12, true));
  bind(unknown.get());
  EXPECT_GT(unknown->stringWidth(u"abc"_s), 0);  // the substitute measures

  // Without a name, or without any property file, the shipped face.
  System::setProperty(u"font.face.default"_s, String::null);
  std::unique_ptr<vwt::Font> unnamed(vwt::Font::getFont(0, 12));
  EXPECT_EQ(unnamed->getHandle(), FontEngine::instance().face(u"IPAPGothic"_s, 12, true));
  {
    ScratchProgram bare;  // no system.ini at all
    std::unique_ptr<vwt::Font> font(vwt::Font::getFont(0, 12));
    EXPECT_EQ(font->getHandle(), FontEngine::instance().face(u"IPAPGothic"_s, 12, true));
  }
}

TEST_F(FontTest, MeasuringBeforeBindingThrows1400) {
  std::unique_ptr<vwt::Font> font(vwt::Font::getFont(0));
  EXPECT_EQ(font->getGraphics(), nullptr);
  auto expect1400 = [](const std::function<void()>& call) {
    try {
      call();
      ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
      EXPECT_EQ(narrow(e.getRawMessage()), "font not bound");
    }
  };
  expect1400([&] { font->stringWidth(u"a"_s); });
  expect1400([&] { font->substringWidth(u"abc"_s, 0, 2); });
  expect1400([&] { font->charWidth(u'a'); });
  EXPECT_EQ(font->getWidthCache(), nullptr);
}

TEST_F(FontTest, WidthsAgreeWithTheEngineAndEachOther) {
  std::unique_ptr<vwt::Font> font(vwt::Font::getFont(0x200));
  bind(font.get());
  FontEngine& engine = FontEngine::instance();
  const String text = u"Ag日本語 x"_s;
  int sum = 0;
  for (int i = 0; i < text.length(); ++i) {
    int w = font->charWidth(text.charAt(i));
    EXPECT_EQ(w, engine.advance(font->getHandle(), text.charAt(i)));
    EXPECT_GT(w, 0);
    sum += w;
  }
  EXPECT_EQ(font->stringWidth(text), sum);
  EXPECT_EQ(font->stringWidth(String::null), 0);
  EXPECT_EQ(font->charWidth(u'日'), font->getHeight());  // full-width glyphs fill the em
}

TEST_F(FontTest, SubstringWidthStaysInsideTheText) {
  std::unique_ptr<vwt::Font> font(vwt::Font::getFont(0));
  bind(font.get());
  const String text = u"abcdef"_s;
  auto width = [&](int from, int to) { return font->stringWidth(text.substring(from, to)); };
  struct Case {
    int offset, length, from, to;
  } cases[] = {
      {0, 6, 0, 6},          {1, 3, 1, 4},
      {2, 0, 2, 2},          {2, 6, 2, 6},  // a length not below the text's runs to its end
      {2, 100, 2, 6},                       // as does one far past it
      {4, 5, 4, 6},                         // offset + length past the end is cut there
      {6, 1, 6, 6},                         // nothing after the end
      {9, 2, 6, 6},                         // an offset past the end measures nothing
      {-3, 2, 0, 2},                        // a negative offset starts at the text
      {1, -4, 1, 1},                        // a negative length measures nothing
      {1, 0x7FFFFFFF, 1, 6},                // no overflow in offset + length
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.offset) + "," + std::to_string(c.length));
    EXPECT_EQ(font->substringWidth(text, c.offset, c.length), width(c.from, c.to));
  }
}

TEST_F(FontTest, CharWidthIsCachedPerUnit) {
  std::unique_ptr<vwt::Font> font(vwt::Font::getFont(0x100));
  bind(font.get());
  EXPECT_EQ(font->getWidthCache(), nullptr);  // made on first use only
  int w = font->charWidth(u'W');
  const uint8_t* cache = font->getWidthCache();
  ASSERT_NE(cache, nullptr);
  EXPECT_EQ(cache[u'W'], w);
  EXPECT_EQ(cache[u'X'], 255);  // not measured yet
  EXPECT_EQ(cache[u'字'], 255);
  EXPECT_EQ(font->charWidth(u'W'), w);
  EXPECT_EQ(font->getWidthCache(), cache);  // the same table, not a new one
  int k = font->charWidth(u'字');
  EXPECT_EQ(cache[u'字'], k);

  // Widths a byte cannot hold are measured every time, never stored cut short.
  std::unique_ptr<vwt::Font> huge(vwt::Font::getFont(0, 256));
  bind(huge.get());
  int wide = huge->charWidth(u'字');
  EXPECT_GE(wide, 255);
  EXPECT_EQ(huge->getWidthCache()[u'字'], 255);
  EXPECT_EQ(huge->charWidth(u'字'), wide);
}

TEST_F(FontTest, SupportedSizesComeFromTheProperty) {
  VectorV<int> sizes;
  sizes.addElement(99);  // appended to, not replaced
  vwt::Font::getSupportedFontSizes(sizes);
  // "12, 16,20,,x,+24,-,8": blanks trimmed, empty and non-numeric entries skipped
  const int want[] = {99, 12, 16, 20, 24, 8};
  ASSERT_EQ(sizes.size(), 6);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(sizes.elementAt(i), want[i]);

  System::setProperty(u"font.size.list"_s, String::null);
  VectorV<int> none;
  vwt::Font::getSupportedFontSizes(none);
  EXPECT_EQ(none.size(), 0);
}
