#include "browser/menu/MenuScreen.h"

#include <algorithm>

#include "browser/page/DrawingRoutines.h"
#include "browser/page/OverlayPainter.h"
#include "browser/page/RenderItem.h"
#include "vwt/lang/Boolean.h"
#include "vwt/lang/Integer.h"
#include "vwt/ui/Font.h"
#include "vwt/ui/Window.h"

namespace {

const int GAP = OverlayPainter::GAP;
const int ICON = DrawingRoutines::ICON_SIZE;
const int MARKS = 12;
const int MAX_INDENT = 8;
// Without a font the painter draws with the toolkit's stock face of this height.
const int STOCK_LINE_HEIGHT = 16;

// A font measures only once it has been set on a graphics; before that, half a line a character.
int textWidth(vwt::Font* font, const String& s, int lineHeight) {
  return font && font->getGraphics() ? font->stringWidth(s) : s.length() * lineHeight / 2;
}

}  // namespace

MenuScreen::MenuScreen(int mode, const String& title) : mode_(mode), title_(title) {}

MenuScreen::~MenuScreen() = default;

void MenuScreen::addRow(const String& label, int command, int icon, bool enabled, int indent, int argument) {
  rows_.push_back(Row{label, command, icon, enabled, std::max(0, std::min(indent, MAX_INDENT)), argument});
  rowsChanged_ = true;
  cursor_.addRow(enabled);
}

void MenuScreen::select(int row) { cursor_.select(row); }

int MenuScreen::commandAt(int row) const {
  return row >= 0 && row < rowCount() ? rows_[static_cast<size_t>(row)].command : -1;
}

bool MenuScreen::enabledAt(int row) const {
  return row >= 0 && row < rowCount() && rows_[static_cast<size_t>(row)].enabled;
}

int MenuScreen::argumentAt(int row) const {
  return row >= 0 && row < rowCount() ? rows_[static_cast<size_t>(row)].argument : 0;
}

String MenuScreen::labelAt(int row) const {
  return row >= 0 && row < rowCount() ? rows_[static_cast<size_t>(row)].label : String();
}

RenderItem* MenuScreen::item() {
  if (!item_) {
    item_.reset(new RenderItem());
    item_->type = OverlayPainter::MENU;
  }
  RenderItem* it = item_.get();
  if (rowsChanged_) {
    it->dropLists();
    it->ensureLists(5);
    for (const Row& r : rows_) {
      it->getList(0)->addElement(new String(r.label));
      it->getList(1)->addElement(new Integer(r.command));
      it->getList(2)->addElement(new Boolean(r.enabled));
      it->getList(3)->addElement(new Integer(r.icon));
      it->getList(4)->addElement(new Integer(r.indent));
    }
    rowsChanged_ = false;
  }
  it->text = title_;
  it->flags = RenderItem::INTERFACE_FONT | itemFlags_;
  it->x = x_;
  it->y = y_;
  it->width = width_;
  it->height = height_;
  it->param1 = 0;  // the text after a tab goes to the right edge
  it->value1 = cursor_.first();
  it->value2 = cursor_.selected();
  return it;
}

void MenuScreen::layout(int viewWidth, int viewHeight, vwt::Font* font) {
  const int n = rowCount();
  lineHeight_ = font ? std::max(1, font->getHeight()) : STOCK_LINE_HEIGHT;
  const int titleHeight = std::max(lineHeight_, ICON) + GAP;
  const int rowHeight = lineHeight_ + GAP;

  int markWidth = 0;
  for (int r = 0; r < MARKS; ++r)
    markWidth = std::max(markWidth, textWidth(font, String(OverlayPainter::rowMark(r), false), lineHeight_));
  bool anyIcon = false;
  for (const Row& r : rows_) anyIcon = anyIcon || r.icon >= 0;

  // Widest row: frame, mark, indent, icon, label, and the part after a tab set off by three gaps.
  int contentWidth = 0;
  for (const Row& r : rows_) {
    int w = GAP + markWidth + GAP + r.indent * ICON + (anyIcon ? ICON + GAP : 0);
    const int tab = r.label.indexOf(u'\t');
    if (tab < 0) {
      w += textWidth(font, r.label, lineHeight_);
    } else {
      w += textWidth(font, r.label.substring(0, tab), lineHeight_) + 3 * GAP +
           textWidth(font, r.label.substring(tab + 1), lineHeight_);
    }
    contentWidth = std::max(contentWidth, w + 2 * GAP);
  }
  const int titleWidth = GAP + textWidth(font, title_, lineHeight_) + 2 * GAP + 2 * ICON + GAP;

  const int maxWidth = std::max(0, viewWidth - 4 * GAP), maxHeight = std::max(0, viewHeight - 4 * GAP);
  const int fullHeight = titleHeight + 3 + n * rowHeight;
  height_ = std::min(fullHeight, maxHeight);
  const int visible = std::max(0, (height_ - titleHeight - 3) / rowHeight);
  if (height_ < fullHeight && visible > 0) height_ = titleHeight + 3 + visible * rowHeight;  // whole rows
  const bool scrolls = visible < n;
  const int barRoom = scrolls ? OverlayPainter::SCROLL_BAR_INSET : 0;
  width_ = std::min(maxWidth, std::max({2 + contentWidth + barRoom, 2 + titleWidth, viewWidth / 2}));
  x_ = (viewWidth - width_) / 2;
  y_ = (viewHeight - height_) / 2;
  cursor_.setVisible(visible);
}

ScreenResult MenuScreen::runRow(int row) const {
  if (!enabledAt(row)) return ScreenResult::ignored();
  const Row& r = rows_[static_cast<size_t>(row)];
  return ScreenResult::run(r.command, r.argument);
}

int MenuScreen::rowFor(int key) const {
  if (key >= Window::KEY_0 + 1 && key <= Window::KEY_9) return key - Window::KEY_0 - 1;
  if (key == Window::KEY_ASTERISK) return 9;
  if (key == Window::KEY_0) return 10;
  if (key == Window::KEY_POUND) return 11;
  return -1;
}

ScreenResult MenuScreen::key(int type, int key) {
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
    case Window::KEY_SOFT2:
    case Window::KEY_ESCAPE:
    case Window::KEY_BACKSPACE:
      return ScreenResult::close();
    default:
      break;
  }
  const int row = rowFor(key);
  if (!enabledAt(row)) return ScreenResult::ignored();
  cursor_.take(row);
  return runRow(row);
}

ScreenResult MenuScreen::tap(int x, int y) {
  if (x < x_ || y < y_ || x >= x_ + width_ || y >= y_ + height_) return ScreenResult::close();
  const int titleHeight = std::max(lineHeight_, ICON) + GAP;
  const int rowsTop = y_ + titleHeight + 2;
  if (y < rowsTop) {
    // The close mark stands at the title bar's right end.
    const int closeLeft = x_ + width_ - 2 - 2 * ICON;
    return x >= closeLeft ? ScreenResult::close() : ScreenResult::ignored();
  }
  if (cursor_.visible() < rowCount() && x >= x_ + width_ - OverlayPainter::SCROLL_BAR_INSET) {
    // On the scroll bar: a screenful up or down.
    const int middle = rowsTop + (y_ + height_ - 1 - rowsTop) / 2;
    return cursor_.page(y < middle ? -1 : 1) ? ScreenResult::changed() : ScreenResult::ignored();
  }
  const int k = (y - rowsTop) / (lineHeight_ + GAP);
  const int row = cursor_.first() + k;
  if (k >= cursor_.visible() || !enabledAt(row)) return ScreenResult::ignored();
  cursor_.take(row);
  return runRow(row);
}
