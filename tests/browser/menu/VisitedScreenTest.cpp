#include <gtest/gtest.h>

#include <string>

#include "browser/menu/CommandId.h"
#include "browser/menu/VisitedScreen.h"
#include "browser/page/OverlayPainter.h"
#include "browser/page/RenderItem.h"
#include "browser/page/VisitedList.h"
#include "tests/browser/DrawnScene.h"
#include "tests/browser/menu/ScreenCanvas.h"
#include "vwt/lang/AutoPtr.h"
#include "vwt/lang/Integer.h"
#include "vwt/lang/Vector.h"
#include "vwt/ui/Graphics.h"
#include "vwt/ui/Image.h"
#include "vwt/ui/Window.h"

namespace {

std::string narrow(const String& s) {
  std::string out;
  for (int i = 0; i < s.length(); ++i) out += static_cast<char>(s.charAt(i));
  return out;
}

class VisitedScreenTest : public ::testing::Test {
 protected:
  // Two days as the browser records them: the older day first, each day's newest page first.
  void recordTwoDays() {
    VisitedList::record(rows, u"Portal"_s, u"http://portal.example/"_s, u"2026-12-09"_s);
    VisitedList::record(rows, u"Weather"_s, u"http://weather.example/"_s, u"2026-12-09"_s);
    VisitedList::record(rows, String(), u"http://untitled.example/"_s, u"2026-12-10"_s);
    VisitedList::record(rows, u"News of the day"_s, u"http://news.example/today"_s, u"2026-12-10"_s);
  }

  // The menu's row labels, one a line.
  static std::string labels(RenderItem* menu) {
    std::string out;
    RenderItem::ValueList* list = menu->getList(0);
    for (int i = 0; list && i < list->size(); ++i)
      out += narrow(*dynamic_cast<String*>(list->elementAt(i))) + "\n";
    return out;
  }

  ScreenResult press(VisitedScreen& screen, int key) {
    ScreenResult down = screen.key(0, key);
    ScreenResult up = screen.key(1, key);
    return up.action != ScreenResult::IGNORED ? up : down;
  }

  drawn::Scene scene;
  ScreenCanvas canvas{scene};
  Vector<Object*> rows;
};

TEST_F(VisitedScreenTest, NewestDayFirstEachPageUnderItsDate) {
  recordTwoDays();
  VisitedScreen screen(rows);
  canvas.layout(screen);
  EXPECT_EQ(screen.mode(), 10);
  ASSERT_EQ(screen.item()->type, OverlayPainter::MENU);
  EXPECT_EQ(labels(screen.item()),
            "2026-12-10\nNews of the day\nhttp://untitled.example/\n2026-12-09\nWeather\nPortal\n");
  EXPECT_EQ(narrow(screen.urlAt(0)), "");
  EXPECT_EQ(narrow(screen.urlAt(2)), "http://untitled.example/");
  EXPECT_EQ(narrow(screen.urlAt(99)), "");

  // The newest page is selected; the dates are not rows to stop on.
  ScreenResult opened = press(screen, Window::KEY_SELECT);
  EXPECT_EQ(opened.action, ScreenResult::COMMAND);
  EXPECT_EQ(opened.command, COMMAND_ADDRESS);
  EXPECT_EQ(narrow(opened.text), "http://news.example/today");

  VisitedScreen again(rows);
  canvas.layout(again);
  press(again, Window::KEY_DOWN);
  press(again, Window::KEY_DOWN);
  EXPECT_EQ(narrow(press(again, Window::KEY_SELECT).text), "http://weather.example/");
  // A date picked by its mark opens nothing.
  VisitedScreen third(rows);
  canvas.layout(third);
  EXPECT_NE(press(third, 4).action, ScreenResult::COMMAND);
  EXPECT_EQ(press(third, Window::KEY_SOFT2).action, ScreenResult::CLOSE);
}

TEST_F(VisitedScreenTest, EmptyAndDamagedLists) {
  VisitedScreen empty(rows);
  canvas.layout(empty);
  EXPECT_EQ(empty.rowCount(), 1);
  EXPECT_EQ(labels(empty.item()), "No pages visited yet\n");
  EXPECT_NE(press(empty, Window::KEY_SELECT).action, ScreenResult::COMMAND);

  // Values that are not texts, a page before any date, an empty address and a stray last text.
  rows.addElement(new String(u"Loose"_s));
  rows.addElement(new String(u"I1,http://loose.example/"_s));
  rows.addElement(new Integer(7));
  rows.addElement(new String(u"I1,http://skipped.example/"_s));
  rows.addElement(new String(u"2026-12-10"_s));
  rows.addElement(new String(u"I0,f:"_s));
  rows.addElement(new String(u"Nowhere"_s));
  rows.addElement(new String(u"I1,"_s));
  rows.addElement(new String(u"Stray"_s));
  VisitedScreen damaged(rows);
  canvas.layout(damaged);
  EXPECT_EQ(labels(damaged.item()), "Loose\n");
  EXPECT_EQ(narrow(press(damaged, Window::KEY_SELECT).text), "http://loose.example/");
}

TEST_F(VisitedScreenTest, Picture) {
  recordTwoDays();
  for (int i = 0; i < 12; ++i)
    VisitedList::record(rows, String(u"Search results page "_s) + String(i),
                        String(u"http://search.example/?p="_s) + String(i), u"2026-12-10"_s);
  VisitedScreen screen(rows);
  canvas.layout(screen);
  EXPECT_TRUE(canvas.shot(screen, "visited-pages.png"));
}

}  // namespace
