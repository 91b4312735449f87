// Selecting page text with the stylus and keys: points to places, drags across lines, words,
// the re-flowed view, the highlight and the copy to the clipboard.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "browser/page/ItemPainter.h"
#include "browser/page/PageFonts.h"
#include "browser/page/PageRenderer.h"
#include "browser/page/ReflowLayout.h"
#include "browser/page/RenderItem.h"
#include "browser/page/SelectionPainter.h"
#include "browser/page/TextSelection.h"
#include "browser/shell/CanvasReflowHost.h"
#include "tests/browser/LoopbackService.h"
#include "tests/browser/page/FormPageBuilder.h"
#include "tests/browser/page/LoadedPage.h"
#include "tests/browser/page/RendererTestHost.h"
#include "tests/vwt/GoldenPicture.h"
#include "tests/vwt/ScratchDirectory.h"
#include "vwt/lang/Resource.h"
#include "vwt/ui/Clipboard.h"
#include "vwt/ui/Font.h"
#include "vwt/ui/Image.h"
#include "vwt/ui/Window.h"

namespace {

const char* const GOLDEN_FOLDER = "tests/browser/golden/pictures/";
const int LINE = 16;  // run height and line spacing of the test page
const int64_t T0 = 100000;

// UTF-8, so that failures print readably.
std::string utf8(const String& s) {
  std::string out;
  for (int i = 0; i < s.length(); ++i) {
    unsigned c = s.charAt(i);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

class TextSelectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program_.write("system.ini", "font.face.default=IPAPGothic\n");
    System::unloadProperties();
    fonts_.setUp(false, 0, 0, 0);
    font_ = fonts_.pageFont();
    ASSERT_NE(nullptr, font_);
  }

  // A TEXT run at (x, y), as wide as the page font draws it.
  RenderItem* run(const char16_t* text, int x, int y) {
    RenderItem* it = b_.item(RenderItem::TEXT, x, y, 0, LINE);
    it->text = String(text, false);
    it->width = font_->stringWidth(it->text);
    return it;
  }
  // Two runs on the first line with a word gap, one on the second, one on the third.
  void threeLines() {
    RenderItem* hello = run(u"Hello", 10, 10);
    run(u"world", hello->x + hello->width + 4, 10);
    run(u"Second line", 10, 10 + LINE);
    run(u"\u65E5\u672C\u8A9E\u306E\u30C6\u30AD\u30B9\u30C8, end", 10, 10 + 2 * LINE);
  }
  void show(int zoom = 100) {
    TextSelection::View v;
    v.page = &b_.page;
    v.zoom = zoom;
    sel_.setView(v);
  }
  // The x of the edge before character offset of item at a zoom.
  int edge(RenderItem* item, int offset, int zoom = 100) {
    return ItemPainter::zoomed(item->x, zoom) + font_->substringWidth(item->text, 0, offset);
  }
  RenderItem* at(int i) { return b_.page.items->elementAt(i); }
  static std::string text(const String& s) { return utf8(s); }

  ScratchProgram program_;
  PageFonts fonts_;
  vwt::Font* font_ = nullptr;
  FormPageBuilder b_;
  TextSelection sel_{&fonts_};
};

TEST_F(TextSelectionTest, PointsMapToThePlaceOfTheNearestCharacterEdge) {
  threeLines();
  for (int zoom : {100, 200}) {
    show(zoom);
    RenderItem* hello = at(0);
    RenderItem* world = at(1);
    RenderItem* second = at(2);
    int y1 = ItemPainter::zoomed(12, zoom), y2 = ItemPainter::zoomed(12 + LINE, zoom);
    const struct {
      const char* what;
      int x, y, place;
    } cases[] = {
        {"left of the first run", 0, y1, 0},
        {"just right of the edge after 'He'", edge(hello, 2, zoom) + 1, y1, 2},
        {"just left of the edge after 'He'", edge(hello, 2, zoom) - 1, y1, 2},
        {"in the word gap, nearer 'world'", edge(world, 0, zoom) - 1, y1, 5},
        {"second character of 'world'", edge(world, 1, zoom) + 1, y1, 6},
        {"right of the first line", 5000, y1, 10},
        {"second line, after 'Sec'", edge(second, 3, zoom), y2, 13},
        {"above the page", edge(hello, 1, zoom), -50, 1},
        {"below the page", 5000, 5000, sel_.length()},
    };
    for (const auto& c : cases) EXPECT_EQ(c.place, sel_.placeAt(c.x, c.y)) << c.what << " at zoom " << zoom;
  }
}

TEST_F(TextSelectionTest, AShiftDragAcrossTwoLinesSelectsTheirTextWithALineFeed) {
  threeLines();
  show();
  RenderItem* hello = at(0);
  RenderItem* second = at(2);
  int x1 = edge(hello, 2) + 1, y1 = 12;
  int x2 = edge(second, 3) + 1, y2 = 12 + LINE;
  EXPECT_FALSE(sel_.dragged(x2, y2)) << "no drag without a press";
  EXPECT_TRUE(sel_.pointerPressedAt(x1, y1, true, T0));
  EXPECT_FALSE(sel_.hasSelection()) << "a press alone marks nothing";
  EXPECT_TRUE(sel_.dragged(x2 - 20, y2));
  EXPECT_TRUE(sel_.released(x2, y2));
  EXPECT_TRUE(sel_.takeChanged());
  EXPECT_FALSE(sel_.takeChanged());
  EXPECT_EQ("llo world\nSec", text(sel_.selectedText()));
  EXPECT_FALSE(sel_.dragged(x1, y1)) << "the drag ended";

  // Backwards from the same places gives the same text; shift + press moves the focus only.
  sel_.clear();
  EXPECT_TRUE(sel_.pointerPressedAt(x2, y2, true, T0 + 1000));
  EXPECT_TRUE(sel_.released(x1, y1));
  EXPECT_EQ("llo world\nSec", text(sel_.selectedText()));
  EXPECT_TRUE(sel_.pointerPressedAt(5000, 5000, true, T0 + 2000));
  sel_.released(5000, 5000);
  EXPECT_EQ("ond line\n\u65E5\u672C\u8A9E\u306E\u30C6\u30AD\u30B9\u30C8, end", text(sel_.selectedText()));

  // A plain press is the page's and clears the selection.
  EXPECT_FALSE(sel_.pointerPressedAt(x1, y1, false, T0 + 3000));
  EXPECT_FALSE(sel_.hasSelection());
  EXPECT_EQ("", text(sel_.selectedText()));
}

TEST_F(TextSelectionTest, ADoubleTapSelectsTheWordUnderIt) {
  threeLines();
  show();
  RenderItem* world = at(1);
  RenderItem* jp = at(3);
  int y3 = 12 + 2 * LINE;
  const struct {
    const char* what;
    int x, y;
    const char* word;
  } cases[] = {
      {"a Latin word", edge(world, 2) + 1, 12, "world"},
      {"kanji stop at kana", edge(jp, 1) + 1, y3, "\u65E5\u672C\u8A9E"},
      {"katakana", edge(jp, 5) + 1, y3, "\u30C6\u30AD\u30B9\u30C8"},
      {"a comma alone", (edge(jp, 8) + edge(jp, 9)) / 2, y3, ","},
  };
  int64_t t = T0;
  for (const auto& c : cases) {
    sel_.clear();
    EXPECT_FALSE(sel_.pointerPressedAt(c.x, c.y, false, t)) << "the first tap is the page's";
    EXPECT_TRUE(sel_.pointerPressedAt(c.x, c.y + 1, false, t + 200)) << c.what;
    EXPECT_EQ(c.word, text(sel_.selectedText())) << c.what;
    t += 10000;
  }
  // Too slow, too far, or off the text: no word.
  sel_.clear();
  int x = edge(world, 2);
  sel_.pointerPressedAt(x, 12, false, t);
  EXPECT_FALSE(sel_.pointerPressedAt(x, 12, false, t + TextSelection::DOUBLE_TAP_MS + 1));
  EXPECT_FALSE(sel_.pointerPressedAt(x + 20, 12, false, t + 100));
  sel_.pointerPressedAt(5000, 12, false, t + 5000);
  EXPECT_FALSE(sel_.pointerPressedAt(5000, 12, false, t + 5100));
  EXPECT_FALSE(sel_.hasSelection());
}

TEST_F(TextSelectionTest, ShiftArrowsExtendFromThePointerAndEscapeClears) {
  threeLines();
  show();
  RenderItem* hello = at(0);
  int px = edge(hello, 1) + 1, py = 12;
  EXPECT_FALSE(sel_.keyDown(Window::KEY_RIGHT, false, px, py)) << "plain arrows stay the page's";
  EXPECT_TRUE(sel_.keyDown(Window::KEY_RIGHT, true, px, py));
  EXPECT_TRUE(sel_.keyUp(Window::KEY_RIGHT));
  EXPECT_FALSE(sel_.keyUp(Window::KEY_RIGHT));
  sel_.keyDown(Window::KEY_RIGHT, true, px, py);
  EXPECT_EQ("el", text(sel_.selectedText()));
  // Down keeps the column: under "Hel" on the next line is "Sec".
  sel_.keyDown(Window::KEY_DOWN, true, px, py);
  EXPECT_EQ(3, sel_.focus() - 10);
  EXPECT_EQ("ello world\nSec", text(sel_.selectedText()));
  sel_.keyDown(Window::KEY_LEFT, true, px, py);
  EXPECT_EQ("ello world\nSe", text(sel_.selectedText()));
  sel_.keyDown(Window::KEY_UP, true, px, py);
  sel_.keyDown(Window::KEY_UP, true, px, py);
  EXPECT_EQ(0, sel_.focus()) << "up from the first line goes to the start";
  EXPECT_EQ("H", text(sel_.selectedText()));
  for (int i = 0; i < 4; ++i) sel_.keyDown(Window::KEY_DOWN, true, px, py);
  EXPECT_EQ(sel_.length(), sel_.focus()) << "down from the last line goes to the end";

  EXPECT_TRUE(sel_.keyDown(Window::KEY_ESCAPE, false, px, py));
  EXPECT_FALSE(sel_.hasSelection());
  EXPECT_TRUE(sel_.keyUp(Window::KEY_ESCAPE));
  EXPECT_FALSE(sel_.keyDown(Window::KEY_ESCAPE, false, px, py)) << "nothing to clear: escape is the page's";
}

TEST_F(TextSelectionTest, ACharacterOutsideTheBasicPlaneIsNeverCutInTwo) {
  RenderItem* it = run(u"a\U0001F600\U0001F600b", 10, 10);
  show();
  for (int x = 0; x < it->x + it->width + 10; ++x) {
    int place = sel_.placeAt(x, 12);
    EXPECT_TRUE(place != 2 && place != 4) << "x " << x << " place " << place;
  }
  sel_.keyDown(Window::KEY_RIGHT, true, 0, 12);
  sel_.keyDown(Window::KEY_RIGHT, true, 0, 12);
  EXPECT_EQ(3, sel_.focus());
  sel_.keyDown(Window::KEY_LEFT, true, 0, 12);
  EXPECT_EQ(1, sel_.focus());
  sel_.clear();
  int x = (edge(it, 3) + edge(it, 5)) / 2;
  sel_.pointerPressedAt(x, 12, false, T0);
  EXPECT_TRUE(sel_.pointerPressedAt(x, 12, false, T0 + 100));
  EXPECT_EQ(u"\U0001F600\U0001F600"_s, sel_.selectedText());
}

TEST_F(TextSelectionTest, HighlightRectanglesFollowTheCharactersAtTheZoom) {
  threeLines();
  for (int zoom : {100, 150}) {
    show(zoom);
    sel_.select(2, 13);  // "llo", "world", "Sec"
    std::vector<TextSelection::Rect> rects = sel_.highlightRects();
    ASSERT_EQ(3u, rects.size());
    int h = ItemPainter::zoomed(LINE, zoom);
    EXPECT_EQ(edge(at(0), 2, zoom), rects[0].x);
    // "llo" reaches over the word gap to "world".
    EXPECT_EQ(ItemPainter::zoomed(at(1)->x, zoom) - edge(at(0), 2, zoom), rects[0].w);
    EXPECT_EQ(ItemPainter::zoomed(10, zoom), rects[0].y);
    EXPECT_EQ(h, rects[0].h);
    EXPECT_EQ(edge(at(1), 0, zoom), rects[1].x);
    EXPECT_EQ(font_->stringWidth(at(1)->text), rects[1].w);
    EXPECT_EQ(edge(at(2), 0, zoom), rects[2].x);
    EXPECT_EQ(ItemPainter::zoomed(10 + LINE, zoom), rects[2].y);
    EXPECT_EQ(font_->substringWidth(at(2)->text, 0, 3), rects[2].w);
  }
  sel_.clear();
  EXPECT_TRUE(sel_.highlightRects().empty());
}

TEST_F(TextSelectionTest, AnotherPageClearsTheSelectionAndAZoomKeepsIt) {
  threeLines();
  show();
  sel_.select(0, 5);
  show(200);
  EXPECT_EQ("Hello", text(sel_.selectedText()));
  FormPageBuilder other;
  TextSelection::View v;
  v.page = &other.page;
  sel_.setView(v);
  EXPECT_FALSE(sel_.hasSelection());
  EXPECT_EQ(-1, sel_.placeAt(10, 10)) << "no text, no place";
  EXPECT_FALSE(sel_.pointerPressedAt(10, 10, true, T0)) << "nothing to select on an empty page";
  EXPECT_FALSE(sel_.keyDown(Window::KEY_RIGHT, true, 10, 10));
  sel_.setView(TextSelection::View());
  EXPECT_FALSE(sel_.copy());
}

TEST_F(TextSelectionTest, TheReflowViewSelectsAlongItsLines) {
  RenderItem* long1 = run(u"The quick brown fox jumps over the lazy dog again and again", 0, 0);
  run(u"Next", 0, 40);
  CanvasReflowHost::Sources sources;
  sources.flags = [] { return 0; };
  int width = 120;
  sources.view = [&width] {
    CanvasReflowHost::View v;
    v.width = width;
    v.height = 320;
    return v;
  };
  CanvasReflowHost host(&fonts_, sources);
  ReflowLayout layout(&host);
  layout.build(&b_.page);
  ASSERT_GE(layout.lines().size(), 3);

  TextSelection::View v;
  v.page = &b_.page;
  v.layout = &layout;
  sel_.setView(v);
  EXPECT_EQ(long1->text.length() + 4, sel_.length());
  // Everything: the layout's own lines, without their trailing spaces' doubles.
  sel_.select(0, sel_.length());
  std::string all = text(sel_.selectedText());
  std::string lines = text(layout.text());
  while (!lines.empty() && lines.back() == '\n') lines.pop_back();
  EXPECT_EQ(lines, all);
  EXPECT_NE(std::string::npos, all.find("\nNext"));

  // A drag from the first line's start to the second line's second character.
  RenderItem* first = layout.lines().elementAt(0)->elementAt(0);
  RenderItem* second = layout.lines().elementAt(1)->elementAt(0);
  sel_.clear();
  EXPECT_TRUE(sel_.pointerPressedAt(first->x, first->y + 2, true, T0));
  int x2 = second->x + font_->substringWidth(second->text, 0, 2) + 1;
  EXPECT_TRUE(sel_.released(x2, second->y + 2));
  EXPECT_EQ(text(first->text) + "\n" + text(second->text.substring(0, 2)), text(sel_.selectedText()));
  std::vector<TextSelection::Rect> rects = sel_.highlightRects();
  ASSERT_EQ(2u, rects.size());
  EXPECT_EQ(second->y, rects[1].y);
  EXPECT_EQ(second->height, rects[1].h);

  // Laid out again at another width in the same layout: cleared, the new lines are read.
  width = 200;
  layout.build(&b_.page);
  sel_.clear();
  sel_.setView(v);
  sel_.select(0, sel_.length());
  lines = text(layout.text());
  while (!lines.empty() && lines.back() == '\n') lines.pop_back();
  EXPECT_EQ(lines, text(sel_.selectedText()));
}

TEST_F(TextSelectionTest, CopyPutsTheTextOnTheClipboard) {
  threeLines();
  show();
  Clipboard::setText(u"before"_s);
  EXPECT_FALSE(sel_.copy());
  EXPECT_EQ("before", text(Clipboard::getText()));
  sel_.select(6, 15);
  EXPECT_TRUE(sel_.copy());
  EXPECT_EQ("orld\nSecon", text(Clipboard::getText()));
  // The status text the copy is reported with.
  program_.write("res/message.txt", loopback::readFile(loopback::sourceDir() + "/res/message.txt"));
  Resource::unload();
  EXPECT_EQ("The selected text was copied (10 characters).",
            text(Resource::getString(TextSelection::COPIED_MESSAGE, String(Clipboard::getText().length()))));
}

TEST_F(TextSelectionTest, TheHighlightShowsOverThePageAsItsGoldenPicture) {
  program_.write("res/message.txt", "");
  RendererTestHost host;
  host.page = &b_.page;
  threeLines();
  for (int i = 0; i < b_.page.items->size(); ++i) at(i)->color = 0x000000;
  at(1)->flags = 0x1;  // underlined, as a link
  at(1)->color = 0x0000EE;
  PageRenderer renderer(&host, &fonts_);
  renderer.setViewSize(240, 70);
  renderer.updateBuffer();
  show();
  sel_.select(2, 13);
  AutoPtr<Image> shot(Image::createImage(240, 70, 0xFFFFFF));
  Graphics* g = shot->getGraphics();
  g->drawImage(renderer.buffer(), 0, 0);
  SelectionPainter::draw(*g, sel_.highlightRects(), 0, 0);
  std::string file = program_.dir / "selection-highlight.png";
  ASSERT_TRUE(rendertest::writePng(shot.get(), file));
  EXPECT_TRUE(golden::matches(file, "selection-highlight.png", GOLDEN_FOLDER));
  // The selected text stays dark under the highlight; the page beside it stays white.
  EXPECT_EQ(0xFFFFFF, rendertest::pixel(shot.get(), 230, 60));
}

// The service's article: its runs read as the page shows them, a drag over a bold word and the
// line after it, a double tap in a table cell.
TEST(TextSelectionOnAServicePage, TheArticleReadsAsItShows) {
  LoadedPage p("http://demo.site/article.html");
  ASSERT_TRUE(p.page.get() && p.page->items);
  TextSelection sel(&p.fonts);
  TextSelection::View v;
  v.page = p.page.get();
  sel.setView(v);
  // The page item of a text, and the x of the edge after n of its characters.
  auto find = [&p](const char16_t* text) -> RenderItem* {
    for (int i = 0; i < p.page->items->size(); ++i) {
      RenderItem* it = p.page->items->elementAt(i);
      if (it->type == RenderItem::TEXT && it->text.equals(text)) return it;
    }
    return nullptr;
  };
  auto edgeOf = [&p](RenderItem* it, int n) {
    return it->x + p.fonts.pageFont()->substringWidth(it->text, 0, n);
  };

  sel.select(0, sel.length());
  String all = sel.selectedText();
  for (const char16_t* line : {u"\nMonday Sunny 14", u"\nSunrise is at 06:12, sunset at 19:40.\n",
                               u"\nMore walks | Index", u"\nto the hills. The paths are still muddy\n"})
    EXPECT_GE(all.indexOf(String(line, false)), 0) << utf8(String(line, false));

  RenderItem* muddy = find(u"muddy");
  RenderItem* high = find(u"in places, and the streams run high");
  ASSERT_TRUE(muddy && high);
  sel.clear();
  EXPECT_TRUE(sel.pointerPressedAt(muddy->x + 1, muddy->y + 3, true, T0));
  EXPECT_TRUE(sel.dragged(edgeOf(high, 9), high->y + 3));
  EXPECT_TRUE(sel.released(edgeOf(high, 9) + 1, high->y + 3));
  EXPECT_EQ(u"muddy\nin places"_s, sel.selectedText());

  RenderItem* showers = find(u"Showers");
  ASSERT_TRUE(showers);
  sel.pointerPressedAt(edgeOf(showers, 3), showers->y + 5, false, T0 + 1000);
  EXPECT_TRUE(sel.pointerPressedAt(edgeOf(showers, 3), showers->y + 5, false, T0 + 1100));
  EXPECT_EQ(u"Showers"_s, sel.selectedText());
}

}  // namespace
