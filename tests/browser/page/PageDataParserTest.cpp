#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "browser/page/PageDataParser.h"
#include "tests/browser/FakePageHost.h"
#include "tests/browser/PageWriter.h"
#include "vwt/io/ByteArrayInputStream.h"
#include "vwt/io/DataInputStream.h"
#include "vwt/lang/Boolean.h"
#include "vwt/lang/Exception.h"
#include "vwt/lang/Integer.h"
#include "vwt/lang/Logger.h"
#include "vwt/lang/Resource.h"

namespace {

class PageDataParserTest : public ::testing::Test {
 protected:
  void SetUp() override { Logger::getLogger()->setOutputType(Logger::NO_OUTPUT); }
  void TearDown() override { Logger::getLogger()->setOutputType(Logger::DEBUGGER_OUTPUT); }

  int parse(const PageWriter& w, bool fullLoad = true) {
    in.reset(new DataInputStream(new ByteArrayInputStream(w.data(), 0, w.size())));
    PageDataParser parser(&host, &page, in.get());
    return parser.parsePage(fullLoad);
  }
  // A page whose main list holds exactly the one record written by f.
  RenderItem* parseOne(const std::function<void(PageWriter&)>& f) {
    PageWriter w;
    w.header(100, 100).i32(1);
    f(w);
    w.i32(0).noFrames();
    EXPECT_EQ(parse(w), 1);
    return page.items->elementAt(0);
  }
  String progress(const char16_t* tail) { return Resource::getString(11011) + String(tail, false); }

  FakePageHost host;
  Page page;
  AutoPtr<DataInputStream> in;
};

String listText(RenderItem* item, int list, int i) {
  return *static_cast<String*>(item->getList(list)->elementAt(i));
}

}  // namespace

TEST_F(PageDataParserTest, EmptyPageHeaderAndSize) {
  PageWriter w;
  w.header(200, 50, u"http://example.com/", u"\u65E5\u672C").i32(0).i32(0).noFrames();
  ASSERT_EQ(parse(w), 1);
  EXPECT_EQ(page.pageId, 77);
  EXPECT_EQ(page.pageNo, 3);
  EXPECT_EQ(page.pageFlags, 1);
  EXPECT_EQ(page.url, u"http://example.com/");
  EXPECT_EQ(page.title, u"\u65E5\u672C");
  EXPECT_EQ(page.backgroundColor, 0xFFFFFF);
  EXPECT_EQ(page.width, 203);
  EXPECT_EQ(page.height, 50 + 7 + 12);
  EXPECT_EQ(host.extentWidth, 203);
  EXPECT_EQ(host.extentHeight, 69);
  ASSERT_EQ(host.statusTexts.size(), 1u);
  EXPECT_EQ(host.statusTexts[0], progress(u"100% 0/0"));
  EXPECT_EQ(page.pointerX, 120);  // half the view on a full load
  EXPECT_EQ(page.pointerY, 160);
  EXPECT_EQ(page.frames->size(), 0);
}

TEST_F(PageDataParserTest, ItemsWidenThePageNeverNarrowIt) {
  PageWriter w;
  w.header(100, 100).i32(2).text(90, 0, 50, 10, u"wide").text(0, 95, 10, 20, u"low").i32(0).noFrames();
  ASSERT_EQ(parse(w), 1);
  EXPECT_EQ(page.width, 140 + 3);
  EXPECT_EQ(page.height, 115 + 7 + 12);
  PageWriter small;
  small.header(100, 100).i32(1).text(0, 0, 5, 5, u"x").i32(0).noFrames();
  ASSERT_EQ(parse(small), 1);
  EXPECT_EQ(page.width, 103);
}

TEST_F(PageDataParserTest, DrawableRecords) {
  RenderItem* t = parseOne([](PageWriter& w) { w.text(1, 2, 3, 4, u"run", 0x3); });
  EXPECT_EQ(t->type, RenderItem::TEXT);
  EXPECT_EQ(t->x + t->y + t->width + t->height, 10);
  EXPECT_EQ(t->color, 0x112233);
  EXPECT_EQ(t->text, u"run");
  EXPECT_EQ(t->flags, 3);
  EXPECT_EQ(t->refs, nullptr);  // text runs have no references

  RenderItem* img = parseOne([](PageWriter& w) {
    w.byte(5)
        .rect(0, 0, 10, 10)
        .utf(u"alt")
        .i32(4)
        .i32(64)
        .i32(48)
        .utf(u"map")
        .i32(0x10)
        .i32(0x00020001)
        .i32(0x00300040);
  });
  EXPECT_EQ(img->text, u"alt");
  EXPECT_EQ(img->imageIndex, 4);
  EXPECT_EQ(img->param1, 64);
  EXPECT_EQ(img->param2, 48);
  EXPECT_EQ(img->name, u"map");
  EXPECT_EQ(img->flags, 0x10);
  EXPECT_EQ(img->value1, 0x00020001);
  EXPECT_EQ(img->value2, 0x00300040);
  ASSERT_NE(img->refs, nullptr);
  EXPECT_EQ(img->refs->size(), 0);

  EXPECT_EQ(parseOne([](PageWriter& w) { w.byte(7).rect(0, 0, 1, 1).utf(u"ph"); })->text, u"ph");
  RenderItem* line = parseOne([](PageWriter& w) { w.byte(8).rect(0, 0, 1, 1).i32(0xFF).i32(2); });
  EXPECT_EQ(line->color, 0xFF);
  EXPECT_EQ(line->flags, 2);
  EXPECT_EQ(parseOne([](PageWriter& w) { w.byte(9).rect(0, 0, 1, 1).i32(5); })->color, 5);
  EXPECT_EQ(parseOne([](PageWriter& w) { w.byte(10).rect(0, 0, 1, 1).i32(6); })->color, 6);
  RenderItem* tiled = parseOne(
      [](PageWriter& w) { w.byte(11).rect(0, 0, 1, 1).utf(u"bg").i32(2).i32(0x30000).i32(0x40000); });
  EXPECT_EQ(tiled->imageIndex, 2);
  EXPECT_EQ(tiled->param1 >> 16, 3);
  EXPECT_EQ(tiled->param2 >> 16, 4);
  RenderItem* obj = parseOne([](PageWriter& w) { w.byte(32).rect(5, 6, 7, 8).utf(u"movie.swf"); });
  EXPECT_EQ(obj->x, 5);
  EXPECT_EQ(obj->height, 8);
  EXPECT_EQ(obj->name, u"movie.swf");
}

TEST_F(PageDataParserTest, FormControlRecords) {
  RenderItem* button =
      parseOne([](PageWriter& w) { w.byte(12).rect(0, 0, 1, 1).i32(1).utf(u"Go").utf(u"submit").i32(0x80); });
  EXPECT_EQ(button->text, u"Go");
  EXPECT_EQ(button->name, u"submit");
  EXPECT_EQ(button->flags, 0x80);
  for (int type : {13, 14}) {
    RenderItem* field = parseOne([type](PageWriter& w) {
      w.byte(type).rect(0, 0, 1, 1).i32(1).i32(2).utf(u"value").utf(u"q").i32(9);
    });
    EXPECT_EQ(field->type, type);
    EXPECT_EQ(field->color2, 2);
    EXPECT_EQ(field->text, u"value");
    EXPECT_EQ(field->name, u"q");
  }
  RenderItem* box = parseOne([](PageWriter& w) { w.byte(15).rect(0, 0, 1, 1).utf(u"on").utf(u"c").i32(4); });
  EXPECT_EQ(box->flags & 4, 4);
  RenderItem* area = parseOne([](PageWriter& w) {
    w.byte(19).rect(0, 0, 1, 1).i32(1).i32(2).utf(u"lines\nhere").i32(3).utf(u"t").i32(0);
  });
  EXPECT_EQ(area->text, u"lines\nhere");
  EXPECT_EQ(area->value1, 3);
  RenderItem* ib = parseOne(
      [](PageWriter& w) { w.byte(22).rect(0, 0, 1, 1).utf(u"img").i32(1).i32(2).i32(3).utf(u"ok").i32(0); });
  EXPECT_EQ(ib->imageIndex, 1);
  EXPECT_EQ(ib->name, u"ok");

  RenderItem* select = parseOne([](PageWriter& w) {
    w.byte(17).rect(0, 0, 50, 12).i32(1).i32(2).i32(1);
    w.i32(2).utf(u"One").utf(u"Two");
    w.i32(2).utf(u"1").utf(u"2");
    w.i32(2).boolean(false).boolean(true);
    w.utf(u"choice").i32(0x8);
  });
  EXPECT_EQ(select->value2, 1);
  EXPECT_EQ(select->value1, 1);
  EXPECT_EQ(select->name, u"choice");
  EXPECT_EQ(select->flags, 0x8);
  ASSERT_EQ(select->lists->size(), 3);
  EXPECT_EQ(listText(select, 0, 1), u"Two");
  EXPECT_EQ(listText(select, 1, 0), u"1");
  EXPECT_TRUE(static_cast<Boolean*>(select->getList(2)->elementAt(1))->boolValue());
  EXPECT_FALSE(static_cast<Boolean*>(select->getList(2)->elementAt(0))->boolValue());
}

TEST_F(PageDataParserTest, RecordsWithoutRectangle) {
  RenderItem* hidden = parseOne([](PageWriter& w) { w.byte(24).utf(u"token").utf(u"abc").i32(0); });
  EXPECT_EQ(hidden->x | hidden->y | hidden->width | hidden->height, 0);
  EXPECT_EQ(hidden->name, u"token");
  EXPECT_EQ(hidden->text, u"abc");
  RenderItem* anchor = parseOne([](PageWriter& w) { w.byte(25).i32(10).i32(20).utf(u"Top").i32(0); });
  EXPECT_EQ(anchor->x, 10);
  EXPECT_EQ(anchor->y, 20);
  EXPECT_EQ(anchor->width, 0);
  EXPECT_EQ(anchor->name, u"Top");
}

TEST_F(PageDataParserTest, BoxBordersAndBackground) {
  RenderItem* box = parseOne([](PageWriter& w) {
    w.byte(29).rect(0, 0, 10, 10).i32(0x80000000).i32(0x5);
    w.i32(0xFF0000).i16(2).byte(1);   // top
    w.i32(0x00FF00).i16(3).byte(-1);  // bottom
  });
  EXPECT_EQ(box->color2, static_cast<int>(0x80000000));
  RenderItem::ValueList* borders = box->getList(0);
  ASSERT_NE(borders, nullptr);
  ASSERT_EQ(borders->size(), 12);
  for (int i : {3, 4, 5, 9, 10, 11}) EXPECT_EQ(borders->elementAt(i), nullptr) << i;
  EXPECT_EQ(static_cast<Integer*>(borders->elementAt(0))->intValue(), 0xFF0000);
  EXPECT_EQ(static_cast<Integer*>(borders->elementAt(1))->intValue(), 2);
  EXPECT_EQ(static_cast<Integer*>(borders->elementAt(7))->intValue(), 3);
  EXPECT_EQ(static_cast<Integer*>(borders->elementAt(8))->intValue(), -1);

  RenderItem* outlined = parseOne([](PageWriter& w) {
    w.byte(29).rect(0, 0, 10, 10).i32(0xFFFFFF).i32(0x50).i32(0x123456).i32(3).i32(4).i32(5);
  });
  EXPECT_EQ(outlined->color, 0x123456);
  EXPECT_EQ(outlined->imageIndex, 3);
  EXPECT_EQ(outlined->param2, 5);
  EXPECT_FALSE(outlined->lists);  // no border bits: no list
}

TEST_F(PageDataParserTest, UnknownCodesAreKeptAndParsingGoesOn) {
  PageWriter w;
  w.header(10, 10).i32(4);
  w.byte(4).rect(1, 2, 3, 4);  // rectangle only, logged
  w.byte(50);                  // nothing at all
  w.byte(-5);
  w.text(0, 0, 1, 1, u"after");
  w.i32(0).noFrames();
  ASSERT_EQ(parse(w), 1);
  ASSERT_EQ(page.items->size(), 4);
  EXPECT_EQ(page.items->elementAt(0)->type, 4);
  EXPECT_EQ(page.items->elementAt(0)->height, 4);
  EXPECT_EQ(page.items->elementAt(1)->type, 50);
  EXPECT_EQ(page.items->elementAt(2)->type, -5);
  EXPECT_EQ(page.items->elementAt(3)->text, u"after");
}

TEST_F(PageDataParserTest, ReferencesAndTheirFixUp) {
  PageWriter w;
  w.header(10, 10).i32(2).text(0, 0, 1, 1, u"a").text(0, 0, 1, 1, u"b");
  w.i32(5);
  w.byte(100).utf(u"http://h/x").i32(3).i32(0).i32(1).i32(7).i32(0);  // index 7: not in the main list
  w.byte(101).i32(3).i32(99).i32(5).i32(4);  // 99 stays boxed at position 0; 5 is the FORM, read later
  w.byte(103).i32(1).rect(1, 2, 3, 4).utf(u"http://h/area").utf(u"alt").i32(1);
  w.byte(102).utf(u"/post").i16(6).i16(1).utf(u"ignored").i32(2).i32(3).i32(6);  // 6: the CONTROL after it
  w.byte(101).i32(2).i32(1).i32(5);
  w.noFrames();
  ASSERT_EQ(parse(w), 1);
  RenderItem* a = page.items->elementAt(0);
  RenderItem* b = page.items->elementAt(1);
  RenderItem* link = page.structure->elementAt(0);
  RenderItem* control = page.structure->elementAt(1);
  RenderItem* area = page.structure->elementAt(2);
  RenderItem* form = page.structure->elementAt(3);
  RenderItem* control2 = page.structure->elementAt(4);

  ASSERT_EQ(link->refs->size(), 3);
  EXPECT_EQ(link->refs->elementAt(0), a);
  EXPECT_EQ(link->refs->elementAt(1), b);
  EXPECT_EQ(link->refs->elementAt(2), nullptr);

  ASSERT_EQ(control->refs->size(), 3);
  EXPECT_TRUE(control->isIndexRef(0));  // position 0 is left as read
  EXPECT_EQ(static_cast<Integer*>(control->refs->elementAt(0))->intValue(), 99);
  EXPECT_EQ(control->refs->elementAt(1), form);  // forward reference fixed up
  EXPECT_EQ(control->refs->elementAt(2), page.structure->elementAt(2));

  EXPECT_EQ(area->color, 1);
  EXPECT_EQ(area->text, u"http://h/area");
  ASSERT_EQ(area->refs->size(), 1);
  EXPECT_EQ(area->refs->elementAt(0), b);

  EXPECT_EQ(form->flags & 0x3, 0x3);  // m = 6: bits 0 and 1
  EXPECT_EQ(form->flags >> 2, 1);
  ASSERT_EQ(form->refs->size(), 2);
  EXPECT_EQ(form->refs->elementAt(0), control);
  EXPECT_EQ(form->refs->elementAt(1), control2);
  EXPECT_EQ(control2->refs->elementAt(0), b);
  EXPECT_EQ(control2->refs->elementAt(1), form);

  EXPECT_EQ(page.resolveReference(0), a);
  EXPECT_EQ(page.resolveReference(2), link);
  EXPECT_EQ(page.resolveReference(7), nullptr);
  EXPECT_EQ(page.resolveReference(-1), nullptr);
}

// An index equal to a list's count is one slot past it, on every road in.
TEST_F(PageDataParserTest, AnIndexEqualToTheCountIsOutsideTheList) {
  PageWriter w;
  w.header(10, 10).i32(2).text(0, 0, 1, 1, u"a").text(0, 0, 1, 1, u"b");
  w.i32(3);
  w.byte(100).utf(u"http://h/x").i32(1).i32(2).i32(0);  // main count 2
  w.byte(103).i32(1).rect(1, 2, 3, 4).utf(u"http://h/area").utf(u"alt").i32(2);
  w.byte(101).i32(2).i32(0).i32(5);  // 2 + structure count 3
  w.noFrames();
  ASSERT_EQ(parse(w), 1);
  RenderItem* link = page.structure->elementAt(0);
  RenderItem* area = page.structure->elementAt(1);
  RenderItem* control = page.structure->elementAt(2);
  ASSERT_EQ(link->refs->size(), 1);
  EXPECT_EQ(link->refs->elementAt(0), nullptr);
  ASSERT_EQ(area->refs->size(), 1);
  EXPECT_EQ(area->refs->elementAt(0), nullptr);
  ASSERT_EQ(control->refs->size(), 2);
  EXPECT_TRUE(control->isIndexRef(1));  // never resolved to an item
  EXPECT_EQ(page.resolveReference(4), control);
  EXPECT_EQ(page.resolveReference(5), nullptr);
}

TEST_F(PageDataParserTest, FormBitsFromM) {
  struct Case {
    int m, flags;
  } cases[] = {{6, 0x3}, {1, 0}, {2, 0x1}, {4, 0x2}};
  for (const Case& c : cases) {
    PageWriter w;
    w.header(1, 1).i32(0).i32(1).byte(102).utf(u"/a").i16(c.m).i16(0).utf(u"").i32(0).noFrames();
    ASSERT_EQ(parse(w), 1);
    EXPECT_EQ(page.structure->elementAt(0)->flags, c.flags) << c.m;
  }
}

TEST_F(PageDataParserTest, FramesAndFrameUrls) {
  PageWriter w;
  w.header(10, 10).i32(1).text(0, 0, 1, 1, u"a");
  w.i32(3);
  for (int i = 0; i < 3; ++i) w.byte(100).utf(u"u").i32(0).i32(0);
  w.i16(3).utf(u"http://f/one").i32(1).utf(u"http://f/none").i32(-1).utf(u"http://f/two").i32(3);
  ASSERT_EQ(parse(w), 1);
  ASSERT_EQ(page.frames->size(), 3);
  EXPECT_EQ(page.frames->elementAt(1)->value, -1);
  EXPECT_EQ(page.getFrameUrl(page.structure->elementAt(0)), u"http://f/one");  // index 1
  EXPECT_EQ(page.getFrameUrl(page.structure->elementAt(1)), u"http://f/two");  // index 2
  EXPECT_EQ(page.getFrameUrl(page.structure->elementAt(2)), u"http://f/two");  // index 3
  RenderItem stranger;
  EXPECT_TRUE(page.getFrameUrl(&stranger).isNull());
}

TEST_F(PageDataParserTest, ProgressEveryHundredItems) {
  PageWriter w;
  w.header(10, 10).i32(250);
  for (int i = 0; i < 250; ++i) w.text(0, 0, 1, 1, u"t");
  w.i32(0).noFrames();
  ASSERT_EQ(parse(w), 1);
  ASSERT_EQ(host.statusTexts.size(), 4u);
  EXPECT_EQ(host.statusTexts[0], progress(u"0% 0/250"));
  EXPECT_EQ(host.statusTexts[1], progress(u"40% 100/250"));
  EXPECT_EQ(host.statusTexts[2], progress(u"80% 200/250"));
  EXPECT_EQ(host.statusTexts[3], progress(u"100% 250/250"));
  EXPECT_EQ(host.repaints, 3);
}

TEST_F(PageDataParserTest, CancellationStopsAFullLoadOnly) {
  PageWriter w;
  w.header(10, 10)
      .i32(3)
      .text(0, 0, 1, 1, u"a")
      .text(0, 0, 1, 1, u"b")
      .text(0, 0, 1, 1, u"c")
      .i32(0)
      .noFrames();
  host.cancelAfter = 2;
  EXPECT_EQ(parse(w), 0);
  EXPECT_EQ(page.items->size(), 2);
  host.cancelChecks = 0;
  EXPECT_EQ(parse(w, false), 1);  // redisplay from the cache is not cancelled
  EXPECT_EQ(page.items->size(), 3);
}

TEST_F(PageDataParserTest, ReflowLayoutReceivesTheMainList) {
  host.reflow = true;
  PageWriter w;
  w.header(10, 10).i32(2).text(0, 0, 1, 1, u"a").text(0, 0, 1, 1, u"b").i32(0).noFrames();
  ASSERT_EQ(parse(w), 1);
  EXPECT_EQ(host.reflowBegins, 1);
  EXPECT_EQ(host.reflowEnds, 1);
  ASSERT_EQ(host.reflowItems.size(), 2u);
  EXPECT_EQ(host.reflowItems[1], page.items->elementAt(1));
}

TEST_F(PageDataParserTest, BadCountsAreRejected) {
  struct Case {
    const char* what;
    std::function<void(PageWriter&)> body;
  } cases[] = {
      {"negative item count", [](PageWriter& w) { w.i32(-1); }},
      {"huge item count", [](PageWriter& w) { w.i32(0x7FFFFFFF); }},
      {"huge reference count", [](PageWriter& w) { w.i32(0).i32(1).byte(101).i32(1 << 30); }},
      {"negative option count",
       [](PageWriter& w) { w.i32(1).byte(17).rect(0, 0, 1, 1).i32(0).i32(0).i32(0).i32(-3); }},
      {"negative frame count", [](PageWriter& w) { w.i32(0).i32(0).i16(-2); }},
      {"more items than data", [](PageWriter& w) { w.i32(1000).text(0, 0, 1, 1, u"only one"); }},
  };
  for (const Case& c : cases) {
    PageWriter w;
    w.header(10, 10);
    c.body(w);
    EXPECT_THROW(parse(w), Exception) << c.what;
  }
}

TEST_F(PageDataParserTest, EveryTruncationThrows) {
  PageWriter w;
  w.header(10, 10).i32(3).text(0, 0, 1, 1, u"\u3042");
  w.byte(17)
      .rect(0, 0, 1, 1)
      .i32(1)
      .i32(2)
      .i32(0)
      .i32(1)
      .utf(u"o")
      .i32(1)
      .utf(u"v")
      .i32(1)
      .boolean(true)
      .utf(u"n")
      .i32(0);
  w.byte(29)
      .rect(0, 0, 1, 1)
      .i32(0)
      .i32(0x55)
      .i32(1)
      .i32(1)
      .i16(1)
      .byte(1)
      .i32(2)
      .i16(2)
      .byte(2)
      .i32(7)
      .i32(8)
      .i32(9);
  w.i32(2).byte(100).utf(u"l").i32(1).i32(0).i32(0).byte(102).utf(u"f").i16(2).i16(0).utf(u"x").i32(1).i32(3);
  w.i16(1).utf(u"frame").i32(4);
  ASSERT_EQ(parse(w), 1);
  for (int cut = 0; cut < w.size(); ++cut) {
    PageWriter prefix;
    prefix.bytes.assign(w.bytes.begin(), w.bytes.begin() + cut);
    EXPECT_THROW(parse(prefix), Exception) << "cut at " << cut;
  }
}
