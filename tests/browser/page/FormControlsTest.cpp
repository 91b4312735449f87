// Activating form controls, and operating an open list by keys and taps.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "browser/page/FormControls.h"
#include "browser/page/HitTest.h"
#include "tests/browser/page/DemoForm.h"
#include "tests/vwt/TestText.h"
#include "vwt/ui/Window.h"

namespace {

const int ACTIVE = 0x20;
const int UP = Window::KEY_UP, DOWN = Window::KEY_DOWN, SELECT = Window::KEY_SELECT, BACK = Window::KEY_SOFT1,
          MENU = Window::KEY_SOFT2, ESCAPE = Window::KEY_ESCAPE;

std::vector<bool> selectedRows(RenderItem* item) {
  std::vector<bool> rows;
  RenderItem::ValueList* flags = item->getList(2);
  for (int i = 0; flags && i < flags->size(); ++i) {
    Boolean* b = dynamic_cast<Boolean*>(flags->elementAt(i));
    rows.push_back(b && b->boolValue());
  }
  return rows;
}

class FormControlsTest : public ::testing::Test {
 protected:
  FormControlsTest() : demo(b) {}

  FormControls::Result activate(RenderItem* item, int x = 0, int y = 0, int zoom = 100, bool reflow = false) {
    return controls.activate(b.page, DemoForm::controlOf(b, item), x, y, zoom, reflow, &overlays);
  }
  // Keys until the list closes; true when it closed with the page to repaint.
  bool keys(std::initializer_list<int> codes, bool* closed) {
    bool repaint = false;
    *closed = false;
    for (int key : codes) {
      bool r = false;
      *closed = controls.listKey(key, &r);
      repaint = repaint || r;
    }
    return repaint;
  }

  FormPageBuilder b;
  DemoForm demo;
  Vector<RenderItem*> overlays{false};  // outlives the controls, which take their copy out of it
  FormControls controls;
};

TEST_F(FormControlsTest, EachControlTypeDoesWhatItsTableRowSays) {
  struct Case {
    RenderItem* DemoForm::*item;
    FormControls::Outcome outcome;
    int mode, imeMode;
    bool multiLine;
    const char* text;
  };
  const Case cases[] = {
      {&DemoForm::name, FormControls::TEXT_ENTRY, 0, 2, false, "Ann"},
      {&DemoForm::secret, FormControls::TEXT_ENTRY, 0, 1, false, ""},
      {&DemoForm::message, FormControls::TEXT_ENTRY, 0, 2, true, "Hello\nfrom the handset"},
      {&DemoForm::offers, FormControls::REPAINT_PAGE, 0, 0, false, ""},
      {&DemoForm::large, FormControls::REPAINT_PAGE, 0, 0, false, ""},
      {&DemoForm::colour, FormControls::LIST_OPENED, 5, 0, false, ""},
      {&DemoForm::toppings, FormControls::LIST_OPENED, 6, 0, false, ""},
      {&DemoForm::photo, FormControls::FILE_MENU, 0, 0, false, ""},
      {&DemoForm::send, FormControls::SUBMIT, 0, 0, false, ""},
      {&DemoForm::go, FormControls::SUBMIT, 0, 0, false, ""},
      {&DemoForm::pick, FormControls::SUBMIT, 0, 0, false, ""},
      {&DemoForm::reset, FormControls::RESET, 0, 0, false, ""},
      {&DemoForm::hidden, FormControls::NOTHING, 0, 0, false, ""},
  };
  for (const Case& c : cases) {
    RenderItem* item = demo.*c.item;
    FormControls::Result r = activate(item);
    SCOPED_TRACE(narrow(item->name) + "/" + narrow(item->text));
    EXPECT_EQ(c.outcome, r.outcome);
    EXPECT_EQ(DemoForm::controlOf(b, item), r.control);
    EXPECT_EQ(r.control, controls.currentControl());
    EXPECT_EQ(c.mode, r.mode);
    if (c.outcome == FormControls::TEXT_ENTRY) {
      EXPECT_EQ(c.imeMode, r.imeMode);
      EXPECT_EQ(999, r.maxLength);
      EXPECT_EQ(c.multiLine, r.multiLine);
      EXPECT_EQ(c.text, narrow(r.text));
    }
    if (c.outcome == FormControls::SUBMIT) {
      EXPECT_EQ(demo.form, r.form);
      EXPECT_EQ(item, r.button);
    }
    if (c.outcome == FormControls::FILE_MENU) {
      EXPECT_EQ(item, r.button);
    }
    EXPECT_EQ(c.outcome == FormControls::LIST_OPENED, controls.listOpen());
    EXPECT_EQ(c.outcome == FormControls::LIST_OPENED ? 1 : 0, overlays.size());
    controls.pageChanged();
    EXPECT_EQ(0, overlays.size());
  }
}

TEST_F(FormControlsTest, ACheckboxTapToggles_AndASecondTapTogglesBack) {
  RenderItem* control = DemoForm::controlOf(b, demo.offers);
  // Tapped where it is drawn, at zoom 150.
  int x = (demo.offers->x + 5) * 150 / 100, y = (demo.offers->y + 5) * 150 / 100;
  ASSERT_EQ(control, HitTest::at(b.page, x, y, 150, false));
  EXPECT_EQ(FormControls::REPAINT_PAGE,
            controls.activate(b.page, control, x, y, 150, false, &overlays).outcome);
  EXPECT_EQ(DemoForm::CHECKED, demo.offers->flags & DemoForm::CHECKED);
  controls.activate(b.page, HitTest::at(b.page, x, y, 150, false), x, y, 150, false, &overlays);
  EXPECT_EQ(0, demo.offers->flags & DemoForm::CHECKED);
  EXPECT_EQ(DemoForm::CHECKED, demo.news->flags & DemoForm::CHECKED);
}

TEST_F(FormControlsTest, ARadioClearsOnlyTheSameNameInTheSameForm) {
  RenderItem* stray = b.field(RenderItem::RADIO, u"size"_s, u"z"_s, nullptr, DemoForm::CHECKED);
  RenderItem* otherName = b.field(RenderItem::RADIO, u"shape"_s, u"o"_s, demo.form, DemoForm::CHECKED);
  activate(demo.large);
  EXPECT_EQ(0, demo.small->flags & DemoForm::CHECKED);
  EXPECT_EQ(0, demo.medium->flags & DemoForm::CHECKED);
  EXPECT_NE(0, demo.large->flags & DemoForm::CHECKED);
  EXPECT_NE(0, demo.otherSize->flags & DemoForm::CHECKED);
  EXPECT_NE(0, stray->flags & DemoForm::CHECKED);
  EXPECT_NE(0, otherName->flags & DemoForm::CHECKED);
  // Activating the checked one again keeps it checked.
  activate(demo.large);
  EXPECT_NE(0, demo.large->flags & DemoForm::CHECKED);
  // Radios outside forms make a group of their own.
  RenderItem* stray2 = b.field(RenderItem::RADIO, u"size"_s, u"y"_s, nullptr);
  activate(stray2);
  EXPECT_EQ(0, stray->flags & DemoForm::CHECKED);
  EXPECT_NE(0, demo.large->flags & DemoForm::CHECKED);
}

TEST_F(FormControlsTest, SelectCommitsTheCurrentRowOrClosesWithoutChange) {
  struct Case {
    std::vector<int> keys;
    bool changed;
    int value2;
    std::vector<bool> rows;
  };
  const Case cases[] = {
      {{DOWN, SELECT}, true, 2, {false, false, true}},
      {{DOWN, DOWN, DOWN, SELECT}, true, 2, {false, false, true}},  // stops at the last row
      {{UP, UP, SELECT}, true, 0, {true, false, false}},
      {{DOWN, MENU}, false, 1, {false, true, false}},
      {{DOWN, ESCAPE}, false, 1, {false, true, false}},
      {{SELECT}, true, 1, {false, true, false}},
  };
  for (const Case& c : cases) {
    FormPageBuilder page;
    DemoForm d(page);
    Vector<RenderItem*> shown(false);
    FormControls fc;
    FormControls::Result r =
        fc.activate(page.page, DemoForm::controlOf(page, d.colour), 0, 0, 100, false, &shown);
    ASSERT_EQ(FormControls::LIST_OPENED, r.outcome);
    ASSERT_EQ(1, shown.size());
    RenderItem* copy = shown.elementAt(0);
    EXPECT_NE(d.colour, copy);
    EXPECT_EQ(ACTIVE, copy->flags & ACTIVE);
    EXPECT_EQ(0, d.colour->flags & ACTIVE);
    EXPECT_EQ(d.colour->y, copy->y);
    EXPECT_EQ(1, copy->value2);
    bool closed = false, repaint = false;
    for (int key : c.keys) {
      bool rp = false;
      closed = fc.listKey(key, &rp);
      repaint = repaint || rp;
    }
    EXPECT_TRUE(closed);
    EXPECT_EQ(c.changed, repaint);
    EXPECT_FALSE(fc.listOpen());
    EXPECT_EQ(0, shown.size());
    EXPECT_EQ(c.value2, d.colour->value2);
    EXPECT_EQ(c.rows, selectedRows(d.colour));
    EXPECT_EQ(0, d.colour->flags & ACTIVE);
  }
}

TEST_F(FormControlsTest, MultipleListTogglesInTheCopy_MenuCommits_BackDiscards) {
  FormControls::Result r = activate(demo.toppings);
  ASSERT_EQ(6, r.mode);
  bool closed = false;
  // Cheese on, Olives off: only in the copy so far.
  EXPECT_FALSE(keys({UP, SELECT, DOWN, SELECT}, &closed));
  EXPECT_FALSE(closed);
  RenderItem* copy = overlays.elementAt(0);
  EXPECT_EQ((std::vector<bool>{true, false, false, true}), selectedRows(copy));
  EXPECT_EQ((std::vector<bool>{false, true, false, true}), selectedRows(demo.toppings));
  EXPECT_FALSE(keys({BACK}, &closed));
  EXPECT_TRUE(closed);
  EXPECT_EQ((std::vector<bool>{false, true, false, true}), selectedRows(demo.toppings));
  EXPECT_EQ(0, overlays.size());

  activate(demo.toppings);
  EXPECT_TRUE(keys({DOWN, DOWN, SELECT, MENU}, &closed));
  EXPECT_TRUE(closed);
  EXPECT_EQ((std::vector<bool>{false, true, false, false}), selectedRows(demo.toppings));
  EXPECT_EQ(3, demo.toppings->value2);
  EXPECT_EQ(DemoForm::MULTIPLE, demo.toppings->flags);
  EXPECT_EQ(0, overlays.size());
}

TEST_F(FormControlsTest, UpAndDownKeepTheCurrentRowInView) {
  RenderItem* list = b.options(RenderItem::LIST, u"n"_s, {u"0", u"1", u"2", u"3", u"4", u"5"}, {},
                               {true, false, false, false, false, false}, demo.form);
  activate(list);
  RenderItem* copy = overlays.elementAt(0);
  copy->scrollState = 3;  // as drawn
  bool repaint = false;
  const int expected[][2] = {{1, 0}, {2, 0}, {3, 1}, {4, 2}, {5, 3}, {5, 3}};
  for (const auto& e : expected) {
    controls.listKey(DOWN, &repaint);
    EXPECT_EQ(e[0], copy->value2);
    EXPECT_EQ(e[1], copy->value1);
  }
  for (int i = 0; i < 3; ++i) controls.listKey(UP, &repaint);
  EXPECT_EQ(2, copy->value2);
  EXPECT_EQ(2, copy->value1);
  EXPECT_FALSE(repaint);
}

TEST_F(FormControlsTest, ATapPicksTheListRowDrawnUnderIt) {
  // A list at page y 100 with rows one line height (12) and a pixel apart, scrolled to its second row.
  RenderItem* list = b.options(RenderItem::LIST, u"n"_s, {u"0", u"1", u"2", u"3", u"4", u"5"}, {},
                               {true, false, false, false, false, false}, demo.form);
  list->y = 100;
  list->height = 60;
  list->value1 = 1;
  struct Case {
    int zoom, scrollY, tapY;
    bool onList;
    int row;
  };
  const Case cases[] = {
      {100, 40, 60, true, 1},   {100, 40, 72, true, 1},  {100, 40, 73, true, 2},  {100, 40, 98, true, 3},
      {150, 40, 110, true, 1},  {150, 40, 123, true, 2}, {150, 0, 149, false, 0}, {100, 40, 59, false, 0},
      {100, 40, 120, false, 0}, {50, 0, 50, true, 1},
  };
  for (const Case& c : cases) {
    activate(demo.toppings);  // another list was open: it closes
    activate(list);
    RenderItem* copy = overlays.elementAt(0);
    ASSERT_EQ(1, overlays.size());
    SCOPED_TRACE("zoom " + std::to_string(c.zoom) + " tap " + std::to_string(c.tapY));
    EXPECT_EQ(c.onList, controls.listTap(20, c.tapY, c.scrollY, c.zoom, 12, 30));
    if (c.onList) {
      EXPECT_EQ(c.row, copy->value2);
      std::vector<bool> rows(6, false);
      rows[c.row] = true;
      EXPECT_EQ(rows, selectedRows(copy));
    }
    EXPECT_TRUE(controls.listOpen());
  }
  bool repaint = false;
  EXPECT_TRUE(controls.listKey(SELECT, &repaint));
  EXPECT_TRUE(repaint);
  EXPECT_EQ(1, list->value2);  // the last case's row
}

TEST_F(FormControlsTest, ATapOnAMultipleListTogglesAndTheWidthIsTestedWhenKnown) {
  demo.toppings->height = 80;  // x 10, width 100, rows from its top
  demo.toppings->value1 = 0;
  activate(demo.toppings);
  int top = demo.toppings->y;
  EXPECT_TRUE(controls.listTap(50, top + 2, 0, 100, 12, 30));
  EXPECT_TRUE(controls.listTap(50, top + 15, 0, 100, 12, 30));
  EXPECT_EQ((std::vector<bool>{true, false, false, true}), selectedRows(overlays.elementAt(0)));
  EXPECT_FALSE(controls.listTap(200, top + 2, 0, 0, 100, 12, 30));
  EXPECT_TRUE(controls.listTap(5, top + 2, 100, 0, 100, 12, 30));
  EXPECT_EQ((std::vector<bool>{false, false, false, true}), selectedRows(overlays.elementAt(0)));
  // The interface font's line height when the list uses it.
  overlays.elementAt(0)->flags |= RenderItem::INTERFACE_FONT;
  EXPECT_TRUE(controls.listTap(50, top + 31, 0, 100, 12, 30));
  EXPECT_EQ((std::vector<bool>{false, true, false, true}), selectedRows(overlays.elementAt(0)));
}

TEST_F(FormControlsTest, ATapPicksTheOpenSelectRowWhereTheListWasDrawn) {
  activate(demo.colour);
  RenderItem* copy = overlays.elementAt(0);
  // Not drawn yet: under the control, rows from one pixel below its bottom.
  int bottom = demo.colour->y + demo.colour->height;
  EXPECT_FALSE(controls.listTap(20, bottom - 1, 0, 100, 12, 30));
  EXPECT_TRUE(controls.listTap(20, bottom + 1 + 12 + 1, 0, 100, 12, 30));
  EXPECT_EQ(2, copy->value2);  // first shown row 1
  // Drawn above the control: top 40, 3 rows of 12 from 41, first shown row 0.
  copy->param3 = (40 << 16) | 39;
  copy->scrollState = 3;
  copy->value1 = 0;
  const int taps[][2] = {{40, 0}, {52, 0}, {53, 1}, {65, 2}, {78, 2}};
  for (const auto& t : taps) {
    EXPECT_TRUE(controls.listTap(20, t[0], 500, 100, 12, 30)) << t[0];
    EXPECT_EQ(t[1], copy->value2) << t[0];
  }
  EXPECT_FALSE(controls.listTap(20, 79, 500, 100, 12, 30));
  EXPECT_FALSE(controls.listTap(20, 39, 500, 100, 12, 30));
}

TEST_F(FormControlsTest, AnImageButtonSendsThePointerOffsetInPagePixels) {
  demo.pick->x = 40;
  demo.pick->y = 200;
  demo.pick->width = 32;
  demo.pick->height = 32;
  FormControls::Result r = activate(demo.pick, 75, 315, 150);  // page 50, 210
  EXPECT_EQ(FormControls::SUBMIT, r.outcome);
  EXPECT_EQ(10, r.pointX);
  EXPECT_EQ(10, r.pointY);
  // From elsewhere (a link hint): a point of the picture all the same.
  r = activate(demo.pick, 0, 1000, 100);
  EXPECT_EQ(0, r.pointX);
  EXPECT_EQ(31, r.pointY);
}

TEST_F(FormControlsTest, TheEditedTextReplacesTheValueAndATextAreaIsWrappedAgain) {
  activate(demo.name);
  controls.setText(u"Bob"_s);
  EXPECT_EQ("Bob", narrow(demo.name->text));
  demo.message->ensureLists(2);
  demo.message->value1 = 4;
  activate(demo.message);
  controls.setText(u"one\r\ntwo"_s);
  EXPECT_EQ("one\r\ntwo", narrow(demo.message->text));
  EXPECT_EQ(nullptr, demo.message->getList(0));
  EXPECT_EQ(0, demo.message->value1);
  std::u16string longText(1200, u'a');
  controls.setText(String(longText.data(), 0, 1200));
  EXPECT_EQ(999, demo.message->text.length());
  // Not a text control: nothing changes.
  activate(demo.offers);
  controls.setText(u"x"_s);
  EXPECT_EQ("yes", narrow(demo.offers->text));
  controls.pageChanged();
  controls.setText(u"y"_s);
  EXPECT_EQ(nullptr, controls.currentControl());
}

TEST_F(FormControlsTest, ATextAreaWithoutAFormStillOpensTextEntry) {
  RenderItem* notes = b.field(RenderItem::TEXT_AREA, u"notes"_s, u"n"_s, nullptr);
  RenderItem* lone = b.field(RenderItem::BUTTON, u"lone"_s, u"Lone"_s, nullptr, DemoForm::SUBMIT);
  EXPECT_EQ(1, DemoForm::controlOf(b, notes)->refs->size());
  EXPECT_EQ(FormControls::TEXT_ENTRY, activate(notes).outcome);
  // A submit button outside any form has nothing to send.
  EXPECT_EQ(FormControls::NOTHING, activate(lone).outcome);
}

TEST_F(FormControlsTest, MalformedStructuresDoNothing) {
  // The FORM reference is a boxed index, or another CONTROL.
  RenderItem* submit = b.item(RenderItem::BUTTON, 0, 0, 50, 16);
  submit->flags = DemoForm::SUBMIT;
  RenderItem* boxedForm = b.structure(RenderItem::CONTROL, {submit});
  boxedForm->addIndexRef(99);
  RenderItem* wrongForm = b.structure(RenderItem::CONTROL, {submit, boxedForm});
  RenderItem* noRefs = b.structure(RenderItem::CONTROL, {});
  RenderItem* boxedItem = b.structure(RenderItem::CONTROL, {});
  boxedItem->addIndexRef(0);
  RenderItem* nullItem = b.structure(RenderItem::CONTROL, {nullptr, demo.form});
  RenderItem* bare = new RenderItem();
  bare->type = RenderItem::CONTROL;
  b.page.structure->addElement(bare);
  // Options: none, labels not texts, flags shorter than the labels, flags not booleans, no flags list.
  RenderItem* none = b.options(RenderItem::SELECT, u"a"_s, {}, {}, {}, demo.form);
  RenderItem* short2 = b.options(RenderItem::LIST, u"b"_s, {u"x", u"y"}, {}, {true}, demo.form);
  RenderItem* badLabels = b.options(RenderItem::SELECT, u"c"_s, {u"x"}, {}, {true}, demo.form);
  FormPageBuilder::replaceValue(badLabels, 0, 0, new Boolean(true));
  RenderItem* badFlags = b.options(RenderItem::SELECT, u"d"_s, {u"x"}, {}, {true}, demo.form);
  FormPageBuilder::replaceValue(badFlags, 2, 0, new String(u"x"_s));
  RenderItem* noLists = b.field(RenderItem::LIST, u"e"_s, String(), demo.form);
  std::vector<RenderItem*> structures = {boxedForm, wrongForm, noRefs,    boxedItem,
                                         nullItem,  bare,      demo.form, nullptr};
  for (RenderItem* item : {none, short2, badLabels, badFlags, noLists})
    structures.push_back(DemoForm::controlOf(b, item));
  for (RenderItem* s : structures) {
    FormControls::Result r = controls.activate(b.page, s, 0, 0, 100, false, &overlays);
    EXPECT_EQ(FormControls::NOTHING, r.outcome);
    EXPECT_EQ(0, overlays.size());
    EXPECT_FALSE(controls.listOpen());
  }
  // Nowhere to put the copy.
  EXPECT_EQ(
      FormControls::NOTHING,
      controls.activate(b.page, DemoForm::controlOf(b, demo.colour), 0, 0, 100, false, nullptr).outcome);
  // Keys and taps with no list open.
  bool repaint = true;
  EXPECT_FALSE(controls.listKey(SELECT, &repaint));
  EXPECT_FALSE(repaint);
  EXPECT_FALSE(controls.listKey(SELECT, nullptr));
  EXPECT_FALSE(controls.listTap(0, 0, 0, 100, 12, 12));
}

TEST_F(FormControlsTest, InReflowTheCopyStandsWhereTheDerivedControlIsAndTheChoiceGoesToThePage) {
  b.derived(demo.colour, 0, 300, 90, 18);
  RenderItem* second = b.derived(demo.colour, 0, 500, 90, 18);
  RenderItem* control = DemoForm::controlOf(b, demo.colour);
  ASSERT_EQ(control, HitTest::at(b.page, 10, 505, 150, true));
  FormControls::Result r = controls.activate(b.page, control, 10, 505, 150, true, &overlays);
  ASSERT_EQ(FormControls::LIST_OPENED, r.outcome);
  RenderItem* copy = overlays.elementAt(0);
  EXPECT_EQ(second->y, copy->y);
  EXPECT_EQ(second->width, copy->width);
  EXPECT_EQ(nullptr, copy->source);
  EXPECT_EQ(1, copy->value2);
  // Rows just under the derived control, not zoomed again.
  EXPECT_TRUE(controls.listTap(10, 518 + 1 + 12 - 400, 400, 150, 12, 30));
  EXPECT_EQ(2, copy->value2);
  bool repaint = false;
  EXPECT_TRUE(controls.listKey(SELECT, &repaint));
  EXPECT_EQ(2, demo.colour->value2);
  EXPECT_EQ((std::vector<bool>{false, false, true}), selectedRows(demo.colour));

  // A source that is no derived control of this one (a layout made since) is not used.
  control->source = demo.name;
  controls.activate(b.page, control, 0, 0, 100, true, &overlays);
  EXPECT_EQ(300, overlays.elementAt(0)->y);
  controls.pageChanged();
  EXPECT_EQ(0, overlays.size());

  // Checkboxes change the page's control, which the derived one shows.
  RenderItem* box = b.derived(demo.offers, 0, 700, 16, 16);
  ASSERT_EQ(DemoForm::controlOf(b, demo.offers), HitTest::at(b.page, 5, 705, 100, true));
  controls.activate(b.page, DemoForm::controlOf(b, demo.offers), 5, 705, 100, true, &overlays);
  EXPECT_NE(0, demo.offers->flags & DemoForm::CHECKED);
  EXPECT_EQ(0, box->flags);
}

TEST_F(FormControlsTest, ASelectOverOtherOverlaysKeepsThem_AListClearsThem) {
  RenderItem other;
  overlays.addElement(&other);
  activate(demo.colour);
  EXPECT_EQ(2, overlays.size());
  controls.pageChanged();
  EXPECT_EQ(1, overlays.size());
  EXPECT_EQ(&other, overlays.elementAt(0));
  activate(demo.toppings);
  EXPECT_EQ(1, overlays.size());
  EXPECT_NE(&other, overlays.elementAt(0));
}

}  // namespace
