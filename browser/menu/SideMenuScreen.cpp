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
  if (selected_ < 0 && !heading) selected_ = rowCount() - 1;
}

void SideMenuScreen::select(int row) {
  const int n = rowCount();
  if (row < 0 || row >= n) row = 0;
  for (int k = 0; k < n; ++k) {
    const int r = (row + k) % n;
    if (!rows_[static_cast<size_t>(r)].heading) {
      selected_ = r;
      scrollTo(r);
      return;
    }
  }
  selected_ = -1;
}

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
  it->value1 = first_;
  it->value2 = selected_;
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
  visible_ = std::max(0, (height_ - 2) / rowHeight);
  if (height_ < fullHeight && visible_ > 0) height_ = 2 + visible_ * rowHeight;  // whole rows
  const int barRoom = visible_ < n ? OverlayPainter::SCROLL_BAR_INSET : 0;
  const int contentWidth = 2 + GAP + markWidth + GAP + labelWidth + 2 * GAP + barRoom;
  // A side menu keeps to the left of the view, at least half of it wide, from the top.
  width_ = std::min(maxWidth, std::max(contentWidth, viewWidth / 2));
  x_ = 2 * GAP;
  y_ = 2 * GAP;
  if (selected_ >= 0) scrollTo(selected_);
  first_ = std::max(0, std::min(first_, n - visible_));
}

void SideMenuScreen::scrollTo(int row) {
  if (visible_ <= 0) return;
  if (row < first_) first_ = row;
  if (row >= first_ + visible_) first_ = row - visible_ + 1;
  // A heading just above the first row shown comes into view with it.
  if (first_ > 0 && first_ == row && headingAt(row - 1) && visible_ > 1) --first_;
  first_ = std::max(0, std::min(first_, rowCount() - visible_));
}

void SideMenuScreen::move(int step) {
  const int n = rowCount();
  int r = selected_ >= 0 ? selected_ : (step > 0 ? n - 1 : 0);
  for (int k = 0; k < n; ++k) {
    r = (r + step + n) % n;
    if (!rows_[static_cast<size_t>(r)].heading) {
      selected_ = r;
      scrollTo(r);
      return;
    }
  }
}

ScreenResult SideMenuScreen::runRow(int row) const {
  if (row < 0 || row >= rowCount() || headingAt(row)) return ScreenResult::ignored();
  const Row& r = rows_[static_cast<size_t>(row)];
  return ScreenResult::run(r.command, r.argument);
}

ScreenResult SideMenuScreen::key(int type, int key) {
  if (type == 0) {
    if (key != Window::KEY_UP && key != Window::KEY_DOWN) return ScreenResult::ignored();
    const int before = selected_, firstBefore = first_;
    move(key == Window::KEY_UP ? -1 : 1);
    return selected_ != before || first_ != firstBefore ? ScreenResult::changed() : ScreenResult::ignored();
  }
  if (type != 1) return ScreenResult::ignored();
  switch (key) {
    case Window::KEY_SELECT:
      return runRow(selected_);
    case Window::KEY_SOFT1:
      if (selected_ < 0) return ScreenResult::ignored();
      return ScreenResult::run(COMMAND_CLOSE_WINDOW, argumentAt(selected_));
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
  if (visible_ < n && x >= x_ + width_ - OverlayPainter::SCROLL_BAR_INSET) {
    const int before = first_;
    const int middle = rowsTop + (height_ - 2) / 2;
    first_ = std::max(0, std::min(first_ + (y < middle ? -visible_ : visible_), n - visible_));
    return first_ != before ? ScreenResult::changed() : ScreenResult::ignored();
  }
  if (y < rowsTop) return ScreenResult::ignored();
  const int k = (y - rowsTop) / (lineHeight_ + 2 * GAP);
  const int row = first_ + k;
  if (k >= visible_ || row >= n || headingAt(row)) return ScreenResult::ignored();
  selected_ = row;
  return runRow(row);
}
