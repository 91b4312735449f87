#include "browser/menu/SideMenuScreen.h"

#include <algorithm>

#include "browser/menu/CommandId.h"
#include "browser/page/OverlayPainter.h"
#include "browser/page/RenderItem.h"
#include "vwt/lang/Boolean.h"
#include "vwt/lang/Integer.h"
#include "vwt/ui/Font.h"
#include "vwt/ui/Window.h"

namespace {

const int GAP = OverlayPainter::GAP;
const int STOCK_LINE_HEIGHT = 16;

// A font measures only once it has been set on a graphics; before that, half a line a character.
int textWidth(vwt::Font* font, const String& s, int lineHeight) {
  return font && font->getGraphics() ? font->stringWidth(s) : s.length() * lineHeight / 2;
}

}  // namespace

SideMenuScreen::SideMenuScreen(int mode) : mode_(mode) {}

SideMenuScreen::~SideMenuScreen() = default;

void SideMenuScreen::addRow(const String& label, int command, int argument, bool heading) {
  rows_.push_back(Row{label, command, argument, heading});
  rowsChanged_ = true;
  cursor_.addRow(!heading);
}

void SideMenuScreen::select(int row) { cursor_.select(row); }

int SideMenuScreen::commandAt(int row) const {
  return row >= 0 && row < rowCount() ? rows_[static_cast<size_t>(row)].command : -1;
}

int SideMenuScreen::argumentAt(int row) const {
  return row >= 0 && row < rowCount() ? rows_[static_cast<size_t>(row)].argument : 0;
}

bool SideMenuScreen::headingAt(int row) const {
  return row >= 0 && row < rowCount() && rows_[static_cast<size_t>(row)].heading;
}

String SideMenuScreen::labelAt(int row) const {
  return row >= 0 && row < rowCount() ? rows_[static_cast<size_t>(row)].label : String();
}

RenderItem* SideMenuScreen::item() {
  if (!item_) {
    item_.reset(new RenderItem());
    item_->type = OverlayPainter::SIDE_MENU;
  }
  RenderItem* it = item_.get();
  if (rowsChanged_) {
    it->dropLists();
    it->ensureLists(3);
    for (const Row& r : rows_) {
      it->getList(0)->addElement(new String(r.label));
      it->getList(1)->addElement(new Integer(r.command));
      it->getList(2)->addElement(new Boolean(!r.heading));
    }
    rowsChanged_ = false;
  }
  it->flags = RenderItem::INTERFACE_FONT;
  it->x = x_;
  it->y = y_;
  it->width = width_;
  it->height = height_;
  it->value1 = cursor_.first();
  it->value2 = cursor_.selected();
  return it;
}

void SideMenuScreen::layout(int viewWidth, int viewHeight, vwt::Font* font) {
  const int n = rowCount();
  lineHeight_ = font ? std::max(1, font->getHeight()) : STOCK_LINE_HEIGHT;
  const int rowHeight = lineHeight_ + 2 * GAP;
  const int markWidth = std::max(3, lineHeight_ / 3);
  int labelWidth = 0;
  for (const Row& r : rows_) labelWidth = std::max(labelWidth, textWidth(font, r.label, lineHeight_));

  const int maxWidth = std::max(0, viewWidth - 4 * GAP), maxHeight = std::max(0, viewHeight - 4 * GAP);
  const int fullHeight = 2 + n * rowHeight;
  height_ = std::min(fullHeight, maxHeight);
  const int visible = std::max(0, (height_ - 2) / rowHeight);
  if (height_ < fullHeight && visible > 0) height_ = 2 + visible * rowHeight;  // whole rows
  const int barRoom = visible < n ? OverlayPainter::SCROLL_BAR_INSET : 0;
  const int contentWidth = 2 + GAP + markWidth + GAP + labelWidth + 2 * GAP + barRoom;
  // A side menu keeps to the left of the view, at least half of it wide, from the top.
  width_ = std::min(maxWidth, std::max(contentWidth, viewWidth / 2));
  x_ = 2 * GAP;
  y_ = 2 * GAP;
  cursor_.setVisible(visible);
}

ScreenResult SideMenuScreen::runRow(int row) const {
  if (row < 0 || row >= rowCount() || headingAt(row)) return ScreenResult::ignored();
  const Row& r = rows_[static_cast<size_t>(row)];
  return ScreenResult::run(r.command, r.argument);
}

ScreenResult SideMenuScreen::key(int type, int key) {
  if (type == 0) {
    if (key != Window::KEY_UP && key != Window::KEY_DOWN) return ScreenResult::ignored();
    const int before = cursor_.selected(), firstBefore = cursor_.first();
    cursor_.move(key == Window::KEY_UP ? -1 : 1);
    return cursor_.selected() != before || cursor_.first() != firstBefore ? ScreenResult::changed()
                                                                          : ScreenResult::ignored();
  }
  if (type != 1) return ScreenResult::ignored();
  switch (key) {
    case Window::KEY_SELECT:
      return runRow(cursor_.selected());
    case Window::KEY_SOFT1:
      if (cursor_.selected() < 0) return ScreenResult::ignored();
      return ScreenResult::run(COMMAND_CLOSE_WINDOW, argumentAt(cursor_.selected()));
    case Window::KEY_SOFT2:
    case Window::KEY_ESCAPE:
    case Window::KEY_BACKSPACE:
      return ScreenResult::close();
    default:
      return ScreenResult::ignored();
  }
}

ScreenResult SideMenuScreen::tap(int x, int y) {
  if (x < x_ || y < y_ || x >= x_ + width_ || y >= y_ + height_) return ScreenResult::close();
  const int n = rowCount();
  const int rowsTop = y_ + 1;
  if (cursor_.visible() < n && x >= x_ + width_ - OverlayPainter::SCROLL_BAR_INSET) {
    const int middle = rowsTop + (height_ - 2) / 2;
    return cursor_.page(y < middle ? -1 : 1) ? ScreenResult::changed() : ScreenResult::ignored();
  }
  if (y < rowsTop) return ScreenResult::ignored();
  const int k = (y - rowsTop) / (lineHeight_ + 2 * GAP);
  const int row = cursor_.first() + k;
  if (k >= cursor_.visible() || row >= n || headingAt(row)) return ScreenResult::ignored();
  cursor_.take(row);
  return runRow(row);
}
