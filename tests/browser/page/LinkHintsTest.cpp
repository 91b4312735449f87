#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "browser/page/LinkHints.h"
#include "browser/page/PageFonts.h"
#include "tests/browser/page/RendererTestHost.h"
#include "tests/vwt/TestText.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/ui/Font.h"
#include "vwt/ui/Graphics.h"
#include "vwt/ui/Image.h"

namespace {

// A page whose structure items are outlined by the rectangles the test gives them (zoomed page px).
class HintPage {
 public:
  HintPage() { page.replaceItemLists(); }

  RenderItem* add(int type, std::vector<int> rects) {
    RenderItem* item = new RenderItem();
    item->type = type;
    page.structure->addElement(item);
    outlines[item] = std::move(rects);
    return item;
  }
  RenderItem* link(int x, int y, int w = 30, int h = 12) { return add(RenderItem::LINK, {x, y, w, h}); }

  LinkHints hints() {
    return LinkHints([this](RenderItem* item, int zoom, bool reflow, std::vector<int>* rects) {
      zoomSeen = zoom;
      reflowSeen = reflow;
      auto found = outlines.find(item);
      if (found != outlines.end()) rects->insert(rects->end(), found->second.begin(), found->second.end());
    });
  }

  Page page;
  std::map<RenderItem*, std::vector<int>> outlines;
  int zoomSeen = 0;
  bool reflowSeen = false;
};

std::string label(const LinkHints& hints, int i) { return narrow(hints.label(i)); }

TEST(LinkHints, LabelsAreAllOfTheShortestLengthThatTellsTheItemsApart) {
  struct Case {
    int count, index;
    const char* label;
  } cases[] = {
      {1, 0, "a"},     {9, 0, "a"},     {9, 1, "s"},       {9, 8, "l"},    {10, 0, "aa"},
      {10, 8, "al"},   {10, 9, "sa"},   {81, 9, "sa"},     {81, 80, "ll"}, {82, 0, "aaa"},
      {82, 80, "all"}, {82, 81, "saa"}, {676, 675, "lfa"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(narrow(LinkHints::labelFor(c.index, c.count)), c.label) << c.count << " items, #" << c.index;
}

TEST(LinkHints, EveryItemInViewGetsItsOwnLabel) {
  for (int n : {1, 9, 10, 81, 82}) {
    HintPage p;
    for (int i = 0; i < n; ++i) p.link(i % 10 * 20, i / 10 * 14, 18, 12);
    LinkHints hints = p.hints();
    hints.show(p.page, 0, 0, 240, 320, 100, false);
    ASSERT_EQ(hints.count(), n);
    size_t length = n <= 9 ? 1 : n <= 81 ? 2 : 3;
    std::set<std::string> seen;
    for (int i = 0; i < n; ++i) {
      EXPECT_EQ(label(hints, i).size(), length) << n;
      seen.insert(label(hints, i));
    }
    EXPECT_EQ(seen.size(), static_cast<size_t>(n));
  }
}

TEST(LinkHints, MoreItemsThanTheCapAreLeftWithoutLabels) {
  HintPage p;
  for (int i = 0; i < 700; ++i) p.link(i % 20 * 10, i / 20 * 8, 8, 6);
  LinkHints hints = p.hints();
  hints.show(p.page, 0, 0, 240, 320, 100, false);
  ASSERT_EQ(hints.count(), LinkHints::MAX_LABELS);
  EXPECT_EQ(hints.item(LinkHints::MAX_LABELS - 1), p.page.structure->elementAt(LinkHints::MAX_LABELS - 1));
  EXPECT_EQ(label(hints, LinkHints::MAX_LABELS - 1), "lfa");
}

TEST(LinkHints, LabelsGoInReadingOrder) {
  HintPage p;
  RenderItem* lowRight = p.link(120, 100);
  RenderItem* lowLeft = p.link(10, 100);
  RenderItem* control = p.add(RenderItem::CONTROL, {60, 40, 50, 16});
  // A link wrapped over two lines: it is placed at its first line, partly above the view.
  RenderItem* wrapped = p.add(RenderItem::LINK, {150, 10, 80, 14, 0, 24, 40, 14});
  RenderItem* area = p.add(RenderItem::AREA, {200, 100, 20, 20});
  LinkHints hints = p.hints();
  hints.show(p.page, 0, 12, 240, 200, 150, true);
  EXPECT_EQ(p.zoomSeen, 150) << "outlines are asked for at the view's zoom and mode";
  EXPECT_TRUE(p.reflowSeen);
  ASSERT_EQ(hints.count(), 5);
  std::vector<RenderItem*> order;
  for (int i = 0; i < hints.count(); ++i) order.push_back(hints.item(i));
  EXPECT_EQ(order, (std::vector<RenderItem*>{wrapped, control, lowLeft, lowRight, area}));
  EXPECT_EQ(label(hints, 0), "a");
  EXPECT_EQ(label(hints, 4), "g");
}

TEST(LinkHints, OnlyLinksAreasAndControlsWithARectangleInViewAreLabelled) {
  HintPage p;
  p.add(RenderItem::FORM, {10, 10, 100, 100});
  p.link(10, 400);                                                                 // below the view
  p.link(-40, 20);                                                                 // left of it
  p.link(250, 20);                                                                 // right of it
  p.add(RenderItem::LINK, {});                                                     // nothing drawn
  p.add(RenderItem::LINK, {10, 20, 0, 12});                                        // empty
  RenderItem* edge = p.link(230, 300, 30, 30);                                     // one corner in view
  RenderItem* second = p.add(RenderItem::LINK, {10, -50, 20, 10, 10, 5, 20, 10});  // its second line shows
  LinkHints hints = p.hints();
  hints.show(p.page, 0, 0, 240, 320, 100, false);
  ASSERT_EQ(hints.count(), 2);
  EXPECT_EQ(hints.item(0), second);
  EXPECT_EQ(hints.item(1), edge);
}

TEST(LinkHints, LettersNarrowTheLabelsUntilOneIsWhole) {
  HintPage p;
  std::vector<RenderItem*> links;
  for (int i = 0; i < 10; ++i) links.push_back(p.link(0, i * 20));
  LinkHints hints = p.hints();
  hints.show(p.page, 0, 0, 240, 320, 100, false);
  ASSERT_TRUE(hints.active());
  EXPECT_EQ(hints.type(u's'), LinkHints::PENDING);
  EXPECT_TRUE(hints.active());
  EXPECT_EQ(narrow(hints.typed()), "s");
  EXPECT_EQ(hints.chosen(), nullptr);
  EXPECT_EQ(hints.type(u'a'), LinkHints::CHOSEN);
  EXPECT_EQ(hints.chosen(), links[9]);
  EXPECT_FALSE(hints.active()) << "choosing closes the labels";
  EXPECT_EQ(hints.type(u'a'), LinkHints::IGNORED);

  hints.show(p.page, 0, 0, 240, 320, 100, false);
  EXPECT_EQ(hints.chosen(), nullptr);
  EXPECT_EQ(hints.type(u'A'), LinkHints::PENDING) << "capitals count as their letters";
  EXPECT_EQ(hints.type(u'D'), LinkHints::CHOSEN);
  EXPECT_EQ(hints.chosen(), links[2]);
}

TEST(LinkHints, WhatEndsTheHintsAndWhatIsLeftAlone) {
  HintPage p;
  for (int i = 0; i < 10; ++i) p.link(0, i * 20);
  LinkHints hints = p.hints();
  struct Case {
    const char16_t* typed;
    LinkHints::Answer last;
    bool active;
  } cases[] = {
      {u"d", LinkHints::CLOSED, false},     // no label begins with it
      {u"x", LinkHints::CLOSED, false},     // not a label letter
      {u"aq", LinkHints::CLOSED, false},    // matches nothing after a good first letter
      {u"\x1b", LinkHints::CLOSED, false},  // Escape
      {u"a\x1b", LinkHints::CLOSED, false},
      {u"\b", LinkHints::CLOSED, false},   // Backspace with nothing typed
      {u"s\b", LinkHints::PENDING, true},  // takes the letter back
      {u"s\ba", LinkHints::PENDING, true},
      {u"1", LinkHints::IGNORED, true},  // not a letter
      {u" ", LinkHints::IGNORED, true},
      {u"\u00e4", LinkHints::IGNORED, true},
  };
  for (const Case& c : cases) {
    hints.show(p.page, 0, 0, 240, 320, 100, false);
    LinkHints::Answer answer = LinkHints::IGNORED;
    for (const char16_t* t = c.typed; *t; ++t) answer = hints.type(*t);
    EXPECT_EQ(answer, c.last) << narrow(String(c.typed, false));
    EXPECT_EQ(hints.active(), c.active) << narrow(String(c.typed, false));
    EXPECT_EQ(hints.chosen(), nullptr);
  }
}

TEST(LinkHints, LabelsStayInsideTheViewAndOffEachOther) {
  const int WHITE = 0xFFFFFF;
  HintPage p;
  p.link(0, 0);
  p.link(2, 0);             // the same spot: its label moves right
  p.link(95, 55);           // the corner: its label moves in
  p.link(40, -20, 20, 24);  // partly above the view: at its top
  PageFonts fonts;
  fonts.setUp(false, 0, 0, 0);
  AutoPtr<Image> view(Image::createImage(100, 60, WHITE));
  Graphics& g = *view->getGraphics();
  LinkHints hints = p.hints();
  hints.show(p.page, 0, 0, 100, 60, 100, false);
  ASSERT_EQ(hints.count(), 4);
  ASSERT_EQ(hints.item(2), p.page.structure->elementAt(3)) << "the label above the view counts as at its top";
  hints.draw(g, fonts.interfaceFont(), 0, 0);
  EXPECT_EQ(g.getFont(), nullptr) << "the font it found";
  g.setFont(fonts.interfaceFont());
  auto width = [&](const char16_t* label) { return g.stringWidth(String(label, false)) + 7; };
  int a = width(u"a"), s = width(u"s"), d = width(u"d"), f = width(u"f");
  int height = fonts.interfaceFont()->getHeight() + 4;
  for (int x = 0; x < a + s; ++x) EXPECT_EQ(rendertest::pixel(view.get(), x, 0), LinkHints::FRAME_COLOR) << x;
  EXPECT_EQ(rendertest::pixel(view.get(), a + s, 0), WHITE);
  EXPECT_EQ(rendertest::pixel(view.get(), 40, 0), LinkHints::FRAME_COLOR);
  EXPECT_EQ(rendertest::pixel(view.get(), 40 + d, 0), WHITE);
  EXPECT_EQ(rendertest::pixel(view.get(), 99, 59), LinkHints::FRAME_COLOR);
  EXPECT_EQ(rendertest::pixel(view.get(), 99 - f, 59), WHITE);
  EXPECT_EQ(rendertest::pixel(view.get(), 99, 59 - height), WHITE);
  EXPECT_EQ(rendertest::pixel(view.get(), 99, 60 - height), LinkHints::FRAME_COLOR);
  EXPECT_EQ(rendertest::pixel(view.get(), 101 - f, 58), LinkHints::FILL_COLOR);
}

TEST(LinkHints, NothingInViewShowsNothing) {
  HintPage p;
  p.link(10, 500);
  LinkHints hints = p.hints();
  hints.show(p.page, 0, 0, 240, 320, 100, false);
  EXPECT_FALSE(hints.active());
  EXPECT_EQ(hints.type(u'a'), LinkHints::IGNORED);
  hints.show(p.page, 0, 0, 0, 0, 100, false);
  EXPECT_FALSE(hints.active());
  Page empty;
  hints.show(empty, 0, 0, 240, 320, 100, false);
  EXPECT_FALSE(hints.active()) << "a page without item lists";
}

}  // namespace
