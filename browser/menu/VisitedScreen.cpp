#include "browser/menu/VisitedScreen.h"

#include "browser/menu/CommandId.h"
#include "browser/menu/MenuScreen.h"
#include "browser/store/Bookmarks.h"
#include "vwt/lang/Resource.h"

namespace {

const int MODE_VISITED = 10;
const int ICON_DAY = 7;
const int ICON_PAGE = 14;
const int MSG_TITLE = 10463;
const int MSG_EMPTY = 10464;

struct Day {
  String date;
  std::vector<std::pair<String, String>> pages;  // title, URL
};

}  // namespace

VisitedScreen::VisitedScreen(const Vector<Object*>& visited)
    : menu_(new MenuScreen(MODE_VISITED, Resource::getString(MSG_TITLE))) {
  // The stored list runs oldest day first; pages before any date keep a day without a heading.
  std::vector<Day> days(1);
  for (int i = 0; i + 1 < visited.size(); i += 2) {
    String* title = dynamic_cast<String*>(visited.elementAt(i));
    String* entry = dynamic_cast<String*>(visited.elementAt(i + 1));
    if (!title || !entry) continue;
    if (Bookmarks::isFolderEntry(*entry)) {
      days.push_back(Day{*title, {}});
      continue;
    }
    const String url = Bookmarks::urlOf(*entry);
    if (url.length() == 0) continue;
    days.back().pages.emplace_back(title->length() > 0 ? *title : url, url);
  }
  int firstPage = -1;
  for (auto day = days.rbegin(); day != days.rend(); ++day) {
    if (day->pages.empty()) continue;
    const bool dated = day != days.rend() - 1;
    if (dated) {
      menu_->addRow(day->date, 0, ICON_DAY, false);
      urls_.push_back(String());
    }
    for (const auto& page : day->pages) {
      const int row = static_cast<int>(urls_.size());
      if (firstPage < 0) firstPage = row;
      menu_->addRow(page.first, COMMAND_ADDRESS, ICON_PAGE, true, dated ? 1 : 0, row);
      urls_.push_back(page.second);
    }
  }
  if (urls_.empty()) {
    menu_->addRow(Resource::getString(MSG_EMPTY), 0, -1, false);
    urls_.push_back(String());
  }
  if (firstPage >= 0) menu_->select(firstPage);
}

VisitedScreen::~VisitedScreen() = default;

int VisitedScreen::rowCount() const { return static_cast<int>(urls_.size()); }

String VisitedScreen::urlAt(int row) const { return row >= 0 && row < rowCount() ? urls_[row] : String(); }

int VisitedScreen::mode() const { return menu_->mode(); }

RenderItem* VisitedScreen::item() { return menu_->item(); }

void VisitedScreen::layout(int viewWidth, int viewHeight, vwt::Font* interfaceFont) {
  menu_->layout(viewWidth, viewHeight, interfaceFont);
}

ScreenResult VisitedScreen::key(int type, int key) { return opened(menu_->key(type, key)); }

ScreenResult VisitedScreen::tap(int x, int y) { return opened(menu_->tap(x, y)); }

ScreenResult VisitedScreen::opened(ScreenResult result) const {
  if (result.action == ScreenResult::COMMAND && result.command == COMMAND_ADDRESS) {
    result.text = urlAt(result.argument);
    result.argument = 0;
    // A date row runs nothing.
    if (result.text.length() == 0) return ScreenResult::changed();
  }
  return result;
}
