// The single-column view: lines of the view width, images and controls
// scaled to fit, link text marked, the page extent and the link stops.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>
#include <vector>

#include "browser/page/LineBreakRule.h"
#include "browser/page/Page.h"
#include "browser/page/PageFonts.h"
#include "browser/page/ReflowHost.h"
#include "browser/page/ReflowLayout.h"
#include "browser/page/RenderItem.h"
#include "tests/vwt/ScratchDirectory.h"
#include "vwt/ui/Font.h"

namespace {

// Fixed widths: 10 pixels an ASCII character, 20 any other; a 12-pixel page
// font, so at zoom 100 a line is 15 high and the first line's bottom is at 14.
class FakeReflowHost : public ReflowHost {
 public:
  int pageLineHeight() override { return fontHeight; }
  int pageCharWidth(char16_t c) override { return c < 128 ? 10 : 20; }
  int pageFaceType() override { return face; }
  int interfaceLineHeight() override { return 12; }
  int canvasFlags() override { return flags; }
  int pageBackground() override { return background; }
  int viewWidth() override { return width; }
  int viewHeight() override { return height; }
  int zoom() override { return zoomValue; }
  void setPageExtent(int w, int h) override {
    extentWidth = w;
    extentHeight = h;
  }

  int fontHeight = 12;
  int face = 0;
  int flags = 0;
  int background = 0xFFFFFF;
  int width = 240, height = 320, zoomValue = 100;
  int extentWidth = -1, extentHeight = -1;
};

// What a test page is made of.
struct Draft {
  int type;
  const char16_t* text = nullptr;
  int width = 0, height = 0;
  int flags = 0;
};

RenderItem* makeItem(const Draft& s) {
  RenderItem* item = new RenderItem();
  item->type = s.type;
  item->text = String(s.text ? s.text : u"", false);
  item->width = s.width;
  item->height = s.height;
  item->flags = s.flags;
  if (s.type == RenderItem::ANCHOR) item->name = item->text;
  if (s.type != RenderItem::TEXT) item->refs = new Vector<Object*>(1, false);
  return item;
}

RenderItem* addTo(Page& page, const Draft& s) {
  RenderItem* item = makeItem(s);
  page.items->addElement(item);
  return item;
}

// A structure item referring to page items.
RenderItem* addStructure(Page& page, int type, std::vector<RenderItem*> refs) {
  RenderItem* s = new RenderItem();
  s->type = type;
  s->refs = new Vector<Object*>(1, false);
  for (RenderItem* r : refs) s->refs->addElement(r);
  page.structure->addElement(s);
  return s;
}

// As the parse does it: every main-list item while the structure list is still empty.
void layOutWhileParsing(ReflowLayout& layout, Page& page, const std::vector<Draft>& drafts) {
  layout.start(&page);
  for (const Draft& s : drafts) layout.addItem(addTo(page, s));
}

std::u16string text(const String& s) { return std::u16string(s.getCString(), s.length()); }

std::vector<std::vector<std::u16string>> lineTexts(const ReflowLayout& layout) {
  std::vector<std::vector<std::u16string>> out;
  for (int i = 0; i < layout.lines().size(); ++i) {
    ReflowLayout::Line* line = layout.lines().elementAt(i);
    std::vector<std::u16string> texts;
    for (int k = 0; k < line->size(); ++k)
      if (line->elementAt(k)->type == RenderItem::TEXT) texts.push_back(text(line->elementAt(k)->text));
    out.push_back(texts);
  }
  return out;
}

std::string show(const std::vector<std::vector<std::u16string>>& lines) {
  std::string out;
  for (const auto& line : lines) {
    out += "[";
    for (const auto& t : line) out += std::string(t.begin(), t.end()) + "|";
    out += "]";
  }
  return out;
}

RenderItem* derivedOf(RenderItem* parent, int i) {
  return parent->refs && i < parent->refs->size() ? static_cast<RenderItem*>(parent->refs->elementAt(i))
                                                  : nullptr;
}

int packed(int h, int v) { return static_cast<int>((static_cast<uint32_t>(v) << 16) | (h & 0xFFFF)); }

typedef std::vector<std::vector<std::u16string>> Lines;

TEST(ReflowLayoutTest, TextBreaksIntoLinesOfTheViewWidth) {
  const int T = RenderItem::TEXT;
  struct Case {
    std::vector<Draft> items;
    int face;
    Lines want;
  } cases[] = {
      // Two words too wide for the line break after the space.
      {{{T, u"hello world"}}, 0, {{u"hello "}, {u"world"}}},
      // Words joined by a comma break after it; a number with a separator keeps together.
      {{{T, u"abc,defgh"}}, 0, {{u"abc,"}, {u"defgh"}}},
      {{{T, u"ab 1,000"}}, 0, {{u"ab "}, {u"1,000"}}},
      // Japanese breaks between any two characters, and before one after ASCII.
      {{{T, u"\u65E5\u672C\u8A9E\u306E\u30C6\u30AD\u30B9\u30C8"}},
       0,
       {{u"\u65E5\u672C\u8A9E"}, {u"\u306E\u30C6\u30AD"}, {u"\u30B9\u30C8"}}},
      {{{T, u"abc\u65E5\u672C"}}, 0, {{u"abc\u65E5"}, {u"\u672C"}}},
      // A run without a break place is cut where the line is full.
      {{{T, u"abcdefghijklmnop"}}, 0, {{u"abcdef"}, {u"ghijkl"}, {u"mnop"}}},
      // Spaces do not open a line.
      {{{T, u"hello   world"}}, 0, {{u"hello "}, {u"world"}}},
      {{{T, u"abcdef ghi"}}, 0, {{u"abcdef"}, {u"ghi"}}},
      // A run that does not fit after other text moves to the next line whole.
      {{{T, u"abcd"}, {T, u"efgh"}}, 0, {{u"abcd"}, {u"efgh"}}},
      {{{T, u"ab"}, {T, u"cd"}}, 0, {{u"ab", u"cd"}}},
      // Words stay whole however many lines one run takes.
      {{{T, u"aaaa bbbb cccc dddd eeee ffff gggg"}},
       0,
       {{u"aaaa "}, {u"bbbb "}, {u"cccc "}, {u"dddd "}, {u"eeee "}, {u"ffff "}, {u"gggg"}}},
      // After four runs without a break place the rest of the item is cut where it is full.
      {{{T, u"aaaaaaaaaaaaaaaaaaaaaaaabbbb cccc"}},
       0,
       {{u"aaaaaa"}, {u"aaaaaa"}, {u"aaaaaa"}, {u"aaaaaa"}, {u"bbbb c"}, {u"ccc"}}},
      // The fixed-cell face: half a line height for ASCII, a whole one for the rest.
      {{{T, u"abcdefghijk"}}, 0x72000000, {{u"abcdefghij"}, {u"k"}}},
      {{{T, u"\u65E5\u672C\u8A9E\u306E\u30C6\u30AD"}},
       0x72000000,
       {{u"\u65E5\u672C\u8A9E\u306E\u30C6"}, {u"\u30AD"}}},
  };
  for (const Case& c : cases) {
    FakeReflowHost host;
    host.width = 63;  // 60 pixels available: six ASCII characters
    host.face = c.face;
    Page page;
    page.replaceItemLists();
    ReflowLayout layout(&host);
    layOutWhileParsing(layout, page, c.items);
    layout.finish();
    Lines got = lineTexts(layout);
    EXPECT_EQ(c.want, got) << show(got);
    for (int i = 0; i < layout.lines().size(); ++i)
      for (int k = 0; k < layout.lines().elementAt(i)->size(); ++k) {
        RenderItem* run = layout.lines().elementAt(i)->elementAt(k);
        EXPECT_LE(run->x + run->width, 60) << show(got);
        EXPECT_EQ(14 - 15 + 15 * i, run->y) << show(got);
      }
  }
}

TEST(ReflowLayoutTest, DerivedTextKeepsStyleAndIsLinkedBothWays) {
  FakeReflowHost host;
  host.width = 63;
  Page page;
  page.replaceItemLists();
  RenderItem* parent =
      addTo(page, {RenderItem::TEXT, u"hello world", 0, 0, 0x7 | RenderItem::INTERFACE_FONT});
  parent->value1 = 3;
  ReflowLayout layout(&host);
  // Built twice over the parsed page: the second build replaces the first's links.
  layout.build(&page);
  layout.build(&page);
  ASSERT_EQ(2, parent->refs->size());
  struct Want {
    int x, y, width;
    const char16_t* text;
  } want[] = {{0, -1, 60, u"hello "}, {0, 14, 50, u"world"}};
  for (int i = 0; i < 2; ++i) {
    RenderItem* run = derivedOf(parent, i);
    EXPECT_EQ(want[i].x, run->x);
    EXPECT_EQ(want[i].y, run->y);
    EXPECT_EQ(want[i].width, run->width);
    EXPECT_EQ(15, run->height);
    EXPECT_EQ(std::u16string(want[i].text), text(run->text));
    EXPECT_EQ(0x7, run->flags);  // the page font, whatever the parent used
    EXPECT_EQ(3, run->value1);
    ASSERT_EQ(1, run->refs->size());
    EXPECT_EQ(parent, run->refs->elementAt(0));
  }
  ReflowLayout::resetItems(&page);
  EXPECT_EQ(0, parent->refs->size());
}

TEST(ReflowLayoutTest, ImagesAreScaledToFitTheView) {
  struct Case {
    int zoom, width, height, value1, value2;
    int wantWidth, wantHeight, wantValue1, wantValue2;
  } cases[] = {
      // 1000 wide on a 240 view: 237, the height in proportion.
      {100, 1000, 500, 0, 0, 237, 118, 0, 0},
      // Too high: scaled to the view height less a line and 7.
      {100, 100, 1000, 0, 0, 30, 301, 0, 0},
      {200, 50, 40, 0, 0, 100, 80, 0, 0},
      // One-pixel rules keep their size.
      {200, 1, 300, 0, 0, 1, 300, 0, 0},
      // The part of the picture shown is the natural size; offset and size follow the scale.
      {200, 200, 100, packed(10, 5), packed(50, 20), 100, 40, packed(20, 10), packed(100, 40)},
      {100, INT_MAX, INT_MAX, 0, 0, 237, 237, 0, 0},
      // Nothing to show takes no room.
      {100, 0, 50, 0, 0, 0, 0, 0, 0},
      {100, -5, 50, 0, 0, 0, 0, 0, 0},
      {100, 50, -1, packed(-3, -3), packed(-3, -3), 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    FakeReflowHost host;
    host.zoomValue = c.zoom;
    Page page;
    page.replaceItemLists();
    ReflowLayout layout(&host);
    layout.start(&page);
    RenderItem* image = addTo(page, {RenderItem::IMAGE, u"alt", c.width, c.height, 0});
    image->imageIndex = 4;
    image->param1 = 11;
    image->param2 = 12;
    image->value1 = c.value1;
    image->value2 = c.value2;
    layout.addItem(image);
    layout.finish();
    if (c.wantWidth == 0) {
      EXPECT_EQ(0, layout.looseItems().size()) << c.width << "x" << c.height;
      continue;
    }
    ASSERT_EQ(1, layout.looseItems().size());
    RenderItem* d = layout.looseItems().elementAt(0);
    EXPECT_EQ(c.wantWidth, d->width) << c.width << "x" << c.height;
    EXPECT_EQ(c.wantHeight, d->height) << c.width << "x" << c.height;
    EXPECT_EQ(c.wantValue1, d->value1);
    EXPECT_EQ(c.wantValue2, d->value2);
    EXPECT_EQ(RenderItem::IMAGE, d->type);
    EXPECT_EQ(4, d->imageIndex);
    EXPECT_EQ(11, d->param1);
    EXPECT_EQ(12, d->param2);
    EXPECT_EQ(std::u16string(u"alt"), text(d->text));
    EXPECT_EQ(image, d->refs->elementAt(0));
    EXPECT_EQ(d, image->refs->elementAt(0));
  }
}

TEST(ReflowLayoutTest, ADeepImagePushesItsLineDown) {
  FakeReflowHost host;
  Page page;
  page.replaceItemLists();
  ReflowLayout layout(&host);
  layOutWhileParsing(layout, page,
                     {{RenderItem::TEXT, u"ab"},
                      {RenderItem::IMAGE, nullptr, 10, 10},
                      {RenderItem::IMAGE, nullptr, 20, 40},
                      {RenderItem::TEXT, u"cd"}});
  layout.finish();
  // 40 high in 15-pixel lines: two empty lines above, the line's bottom moves from 14 to 44.
  EXPECT_EQ((Lines{{}, {}, {u"ab", u"cd"}}), lineTexts(layout));
  RenderItem* ab = layout.lines().elementAt(2)->elementAt(0);
  RenderItem* cd = layout.lines().elementAt(2)->elementAt(1);
  EXPECT_EQ(29, ab->y);
  EXPECT_EQ(29, cd->y);
  EXPECT_EQ(50, cd->x);
  ASSERT_EQ(2, layout.looseItems().size());
  RenderItem* small = layout.looseItems().elementAt(0);
  RenderItem* deep = layout.looseItems().elementAt(1);
  EXPECT_EQ(20, small->x);
  EXPECT_EQ(34, small->y);  // bottoms stay aligned
  EXPECT_EQ(30, deep->x);
  EXPECT_EQ(4, deep->y);
}

TEST(ReflowLayoutTest, LineEndsImagesAndTheImagesSetting) {
  const int T = RenderItem::TEXT, I = RenderItem::IMAGE, E = ReflowLayout::LINE_END;
  struct Case {
    int canvasFlags;
    std::vector<Draft> items;
    Lines want;
    int looseCount;
    int cdX;  // where "cd" starts
  } cases[] = {
      // The line-end flag ends the line with room left.
      {0, {{T, u"ab", 0, 0, E}, {T, u"cd"}}, {{u"ab"}, {u"cd"}}, 0, 0},
      // Images hidden take no room.
      {ReflowLayout::FLAG_NO_IMAGES,
       {{T, u"ab"}, {I, nullptr, 100, 10}, {T, u"cd"}},
       {{u"ab", u"cd"}},
       0,
       20},
      {0, {{T, u"ab"}, {I, nullptr, 100, 10}, {T, u"cd"}}, {{u"ab", u"cd"}}, 1, 120},
      // Text after an image that reaches past the middle starts a new line.
      {0, {{T, u"ab"}, {I, nullptr, 150, 10}, {T, u"cd"}}, {{u"ab"}, {u"cd"}}, 1, 0},
      // An image that does not fit in the rest of the line starts one.
      {0,
       {{T, u"abcdefghijklmnopqrst"}, {I, nullptr, 100, 10}, {T, u"cd"}},
       {{u"abcdefghijklmnopqrst"}, {u"cd"}},
       1,
       100},
      // A line holding only an image is ended by the flag too.
      {0, {{I, nullptr, 50, 10, E}, {T, u"cd"}}, {{}, {u"cd"}}, 1, 0},
      // The flag on an empty line adds no line.
      {0, {{RenderItem::BOX, nullptr, 10, 10, E}, {T, u"cd"}}, {{u"cd"}}, 0, 0},
  };
  for (const Case& c : cases) {
    FakeReflowHost host;
    host.flags = c.canvasFlags;
    Page page;
    page.replaceItemLists();
    ReflowLayout layout(&host);
    layOutWhileParsing(layout, page, c.items);
    layout.finish();
    Lines got = lineTexts(layout);
    EXPECT_EQ(c.want, got) << show(got);
    EXPECT_EQ(c.looseCount, layout.looseItems().size()) << show(got);
    ReflowLayout::Line* last = layout.lines().elementAt(layout.lines().size() - 1);
    EXPECT_EQ(c.cdX, last->elementAt(last->size() - 1)->x) << show(got);
  }
}

TEST(ReflowLayoutTest, TextColours) {
  const int PAGE_COLOURS = ReflowLayout::FLAG_PAGE_COLOURS;
  struct Case {
    int canvasFlags, colour, background;
    bool link;
    int flags;
    int wantWhileParsing, want;
  } cases[] = {
      {0, 0x123456, 0xFFFFFF, true, 0, 0x000000, 0x0000FF},  // link text is marked blue once links are known
      {0, 0x123456, 0xFFFFFF, false, 0, 0x000000, 0x000000},
      {0, 0x123456, 0xFFFFFF, false, 0x1, 0x0000FF,
       0x000000},  // underlined text passes for a link until then
      {0, 0x123456, 0xFFFFFF, true, 0x1, 0x0000FF, 0x0000FF},
      {PAGE_COLOURS, 0x123456, 0xFFFFFF, false, 0, 0x123456, 0x123456},
      {PAGE_COLOURS, 0x123456, 0xFFFFFF, true, 0x1, 0x123456, 0x123456},
      {PAGE_COLOURS, 0x336699, 0x336699, false, 0, 0xFFFFFF, 0xFFFFFF},  // never the background's colour
  };
  for (const Case& c : cases) {
    FakeReflowHost host;
    host.flags = c.canvasFlags;
    host.background = c.background;
    Page page;
    page.replaceItemLists();
    page.backgroundColor = c.background;
    ReflowLayout layout(&host);
    layout.start(&page);
    RenderItem* item = addTo(page, {RenderItem::TEXT, u"ab", 0, 0, c.flags});
    item->color = c.colour;
    layout.addItem(item);
    EXPECT_EQ(c.wantWhileParsing, derivedOf(item, 0)->color) << c.colour << " " << c.link << " " << c.flags;
    if (c.link) addStructure(page, RenderItem::LINK, {item});
    layout.finish();
    EXPECT_EQ(c.want, derivedOf(item, 0)->color) << c.colour << " " << c.link << " " << c.flags;
    EXPECT_EQ(c.link ? 0x0000FF : 0, item->color2);
    // A build over the parsed page marks the links first and comes to the same colours.
    ReflowLayout rebuilt(&host);
    rebuilt.build(&page);
    EXPECT_EQ(c.want, derivedOf(item, 0)->color) << c.colour << " " << c.link << " " << c.flags;
  }
}

TEST(ReflowLayoutTest, ControlsAreCappedAndDrawnFromTheirParent) {
  struct Case {
    int type, width, height, zoom;
    int wantWidth, wantHeight;
  } cases[] = {
      {RenderItem::TEXT_FIELD, 200, 20, 100, 120, 20},  // half the view
      {RenderItem::PASSWORD_FIELD, 200, 20, 100, 120, 20},
      {RenderItem::TEXT_FIELD, 50, 20, 200, 100, 40},
      {RenderItem::TEXT_AREA, 300, 100, 100, 230, 39},  // view - 10, three lines + 3
      {RenderItem::BUTTON, 60, 20, 200, 120, 40},
      {RenderItem::SELECT, 400, 20, 100, 237, 20},  // no control is wider than the view
      {RenderItem::LIST, 100, INT_MAX, 100, 100, 301},
      {RenderItem::CHECKBOX, 0, 12, 100, 0, 0},
      {RenderItem::RADIO, 12, -12, 100, 0, 0},
  };
  for (const Case& c : cases) {
    FakeReflowHost host;
    host.zoomValue = c.zoom;
    Page page;
    page.replaceItemLists();
    ReflowLayout layout(&host);
    layout.start(&page);
    RenderItem* control = addTo(page, {c.type, u"value", c.width, c.height, 0});
    control->ensureLists(2);
    layout.addItem(control);
    layout.finish();
    if (c.wantWidth == 0) {
      EXPECT_EQ(0, layout.looseItems().size()) << c.type;
      continue;
    }
    ASSERT_EQ(1, layout.looseItems().size()) << c.type;
    RenderItem* d = layout.looseItems().elementAt(0);
    EXPECT_EQ(c.type, d->type);
    EXPECT_EQ(c.wantWidth, d->width) << c.type;
    EXPECT_EQ(c.wantHeight, d->height) << c.type;
    EXPECT_EQ(control, d->source);
    EXPECT_EQ(-1, d->value1);
    EXPECT_EQ(d, control->refs->elementAt(0));
    // A text area's lines are wrapped again for its new width.
    EXPECT_EQ(c.type == RenderItem::TEXT_AREA, control->getList(0) == nullptr) << c.type;
  }
}

TEST(ReflowLayoutTest, ThePageExtentFollowsTheLastLine) {
  struct Case {
    int viewHeight, lineEnds;
    int wantHeight;
  } cases[] = {
      {320, 3, 320},  // a short page is as high as the view
      // Three ended lines: the bottom is 14 + 3 x 15, then the interface line and 12.
      {50, 3, 59 + 12 + 12},
      {50, 0, 50},
  };
  for (const Case& c : cases) {
    FakeReflowHost host;
    host.height = c.viewHeight;
    Page page;
    page.replaceItemLists();
    ReflowLayout layout(&host);
    layout.start(&page);
    for (int i = 0; i < c.lineEnds; ++i)
      layout.addItem(addTo(page, {RenderItem::TEXT, u"a", 0, 0, ReflowLayout::LINE_END}));
    layout.finish();
    EXPECT_EQ(240, host.extentWidth);
    EXPECT_EQ(c.wantHeight, host.extentHeight);
    EXPECT_EQ(c.wantHeight, page.carriedValue);
    EXPECT_EQ(c.wantHeight, layout.pageHeight());
    EXPECT_EQ(c.lineEnds, layout.lines().size());
  }
}

TEST(ReflowLayoutTest, LinkPositionsAreSortedStops) {
  FakeReflowHost host;
  host.width = 63;
  Page page;
  page.replaceItemLists();
  ReflowLayout layout(&host);
  layOutWhileParsing(layout, page,
                     {{RenderItem::TEXT, u"xx", 0, 0, ReflowLayout::LINE_END},
                      {RenderItem::TEXT, u"hello world"},
                      {RenderItem::BUTTON, u"go", 30, 10}});
  RenderItem* link = page.items->elementAt(1);
  RenderItem* button = page.items->elementAt(2);
  RenderItem* form = addStructure(page, RenderItem::FORM, {});
  RenderItem* control = addStructure(page, RenderItem::CONTROL, {button, form});
  addStructure(page, RenderItem::LINK, {link});
  form->refs->addElement(control);
  layout.finish();
  // "hello " at y 14, "world" at 29, the button on the next line at 59 - 10.
  std::vector<int64_t> want = {14 * 63, 29 * 63, 49 * 63};
  EXPECT_EQ(want, layout.linkPositions());
  EXPECT_EQ(0, page.items->elementAt(0)->color2);
  EXPECT_EQ(0x0000FF, link->color2);
}

TEST(ReflowLayoutTest, AnchorsAndTheLinesText) {
  FakeReflowHost host;
  host.width = 63;
  Page page;
  page.replaceItemLists();
  ReflowLayout layout(&host);
  layOutWhileParsing(
      layout, page,
      {{RenderItem::TEXT, u"hello world"}, {RenderItem::ANCHOR, u"Part2"}, {RenderItem::TEXT, u"!"}});
  layout.finish();
  RenderItem* anchor = layout.findAnchor(String(u"part2", false));
  ASSERT_NE(nullptr, anchor);
  EXPECT_EQ(RenderItem::ANCHOR, anchor->type);
  EXPECT_EQ(0, anchor->x);
  EXPECT_EQ(14, anchor->y);
  EXPECT_EQ(nullptr, layout.findAnchor(String(u"part3", false)));
  EXPECT_EQ(std::u16string(u"hello \nworld!\n"), text(layout.text()));
}

// The page shows blocks and word gaps only by where it puts its runs; anchors it lists at its end
// go where the page puts them.
TEST(ReflowLayoutTest, BlocksWordGapsAndLateAnchorsFromThePagePositions) {
  struct Placed {
    int type;
    const char16_t* text;
    int x, y;
    int wantX;  // where the run starts in the layout (anchors: their y)
    int wantLine;
  } items[] = {
      {RenderItem::TEXT, u"ab", 0, 0, 0, 0},
      {RenderItem::TEXT, u"cd", 30, 0, 30, 0},             // a gap on the row: a space
      {RenderItem::TEXT, u"ef", 50, 0, 50, 0},             // touching: none
      {RenderItem::TEXT, u"gh", 0, 13, 80, 0},             // the page broke the line between words: a space
      {RenderItem::TEXT, u"\u3042\u3044", 0, 26, 100, 0},  // not between Japanese characters
      {RenderItem::TEXT, u"ij", 0, 60, 0, 1},              // well below: a new block
      {RenderItem::ANCHOR, u"late", 0, 13, -1, 0},         // listed late: on the line of "gh"
      {RenderItem::ANCHOR, u"here", 0, 60, 14, 1},         // in its place: on the line of what follows
      {RenderItem::TEXT, u"k", 30, 60, 30, 1},
  };
  FakeReflowHost host;
  Page page;
  page.replaceItemLists();
  ReflowLayout layout(&host);
  layout.start(&page);
  std::vector<RenderItem*> parents;
  for (const Placed& p : items) {
    RenderItem* item = addTo(
        page, {p.type, p.text, p.type == RenderItem::TEXT ? 20 : 0, p.type == RenderItem::TEXT ? 13 : 0});
    item->x = p.x;
    item->y = p.y;
    layout.addItem(item);
    parents.push_back(item);
  }
  layout.finish();
  ASSERT_EQ(2, layout.lines().size());
  for (size_t i = 0; i < parents.size(); ++i) {
    RenderItem* derived = derivedOf(parents[i], 0);
    ASSERT_NE(nullptr, derived) << i;
    EXPECT_EQ(items[i].wantX, items[i].type == RenderItem::ANCHOR ? derived->y : derived->x) << i;
    EXPECT_LE(0, layout.lines().elementAt(items[i].wantLine)->indexOf(derived)) << i;
  }
  EXPECT_EQ(parents[6], derivedOf(layout.findAnchor(String(u"late", false)), 0));
}

TEST(ReflowLayoutTest, HostileInputIsLaidOutWithoutHarm) {
  struct Case {
    int viewWidth, viewHeight, zoom, fontHeight;
  } views[] = {{240, 320, 100, 12}, {0, 0, 0, 0}, {-5, -5, -100, -3}, {1, 1, 100000, 100000}};
  std::u16string longText(20000, u'a');
  for (int i = 0; i < 20000; i += 37) longText[i] = u' ';
  for (const Case& v : views) {
    FakeReflowHost host;
    host.width = v.viewWidth;
    host.height = v.viewHeight;
    host.zoomValue = v.zoom;
    host.fontHeight = v.fontHeight;
    Page page;
    page.replaceItemLists();
    page.structure.reset();  // no structure list at all
    ReflowLayout layout(&host);
    layout.start(&page);
    layout.addItem(nullptr);
    layout.addItem(addTo(page, {RenderItem::TEXT, longText.c_str()}));
    for (int type : {RenderItem::IMAGE, RenderItem::IMAGE_BUTTON, RenderItem::TEXT_AREA, RenderItem::SELECT})
      for (std::pair<int, int> size :
           {std::make_pair(INT_MIN, INT_MAX), std::make_pair(-1, 5), std::make_pair(0, 0),
            std::make_pair(1, INT_MAX), std::make_pair(INT_MAX, 1), std::make_pair(INT_MAX, INT_MAX)}) {
        RenderItem* item = addTo(page, {type, nullptr, size.first, size.second, 0});
        item->value1 = item->value2 = size.first;
        layout.addItem(item);
      }
    layout.addItem(addTo(page, {RenderItem::TEXT, u""}));
    layout.addItem(addTo(page, {RenderItem::LINK, u"http://x/"}));
    layout.finish();
    EXPECT_GT(layout.lines().size(), 0);
    EXPECT_GE(host.extentHeight, 0);
    for (int i = 0; i < layout.looseItems().size(); ++i) {
      RenderItem* d = layout.looseItems().elementAt(i);
      EXPECT_GT(d->width, 0);
      EXPECT_GT(d->height, 0);
      EXPECT_LE(d->height, std::max(v.viewHeight, 1));
    }
  }
}

// The real page font through the toolkit: lines fit and words are not cut.
TEST(ReflowLayoutTest, LinesFitMeasuredWithThePageFont) {
  ScratchProgram program;
  PageFonts fonts;
  fonts.setUp(false, 1, 0, 1);
  vwt::Font* font = fonts.pageFont();
  ASSERT_NE(nullptr, font);
  class FontHost : public FakeReflowHost {
   public:
    explicit FontHost(vwt::Font* f) : font_(f) {
      fontHeight = f->getHeight();
      face = f->getFaceType();
      width = 120;
    }
    int pageCharWidth(char16_t c) override { return font_->charWidth(c); }

   private:
    vwt::Font* font_;
  } host(font);
  Page page;
  page.replaceItemLists();
  ReflowLayout layout(&host);
  layOutWhileParsing(layout, page,
                     {{RenderItem::TEXT, u"The quick brown fox jumps over the lazy dog, 1,000,000 times. "},
                      {RenderItem::TEXT,
                       u"\u65E5\u672C\u8A9E\u306E\u6587\u7AE0\u3082\u6298\u308A\u8FD4\u3057"
                       u"\u307E\u3059\u3002"}});
  layout.finish();
  ASSERT_GE(layout.lines().size(), 4);
  const String* previous = nullptr;
  for (int i = 0; i < layout.lines().size(); ++i) {
    ReflowLayout::Line* line = layout.lines().elementAt(i);
    for (int k = 0; k < line->size(); ++k) {
      RenderItem* run = line->elementAt(k);
      EXPECT_LE(run->x + run->width, 117) << i;
      int measured = 0;
      for (int c = 0; c < run->text.length(); ++c) measured += font->charWidth(run->text.charAt(c));
      EXPECT_EQ(measured, run->width);
      // Where a run ends a line and the next starts one, the break was allowed there.
      if (k == 0 && previous && previous->length() > 0 && run->text.length() > 0) {
        int n = previous->length();
        char16_t p2 = n >= 2 ? previous->charAt(n - 2) : 0;
        EXPECT_TRUE(LineBreakRule::allowsBreak(p2, previous->charAt(n - 1), run->text.charAt(0)) ||
                    previous->charAt(n - 1) == u' ' || run->text.charAt(0) == u' ')
            << i;
      }
    }
    if (line->size() > 0) previous = &line->elementAt(line->size() - 1)->text;
  }
}

}  // namespace
