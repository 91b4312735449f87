#include "browser/menu/PanelScreen.h"

#include <algorithm>

#include "browser/menu/SoftKeyTable.h"
#include "browser/page/DrawingRoutines.h"
#include "browser/page/OverlayPainter.h"
#include "browser/page/Palette.h"
#include "browser/page/RenderItem.h"
#include "browser/page/TextWrapper.h"
#include "vwt/lang/Integer.h"
#include "vwt/ui/Font.h"
#include "vwt/ui/Window.h"

namespace {

const int GAP = OverlayPainter::GAP;
const int MARGIN = 2 * GAP;
// What the toolkit draws with when no font is given.
const int STOCK_LINE_HEIGHT = 16;
const int ICON = DrawingRoutines::ICON_SIZE;
// The item painter's flag for a ticked check box, and the slider's knob width and focus flag.
const int CHECKED = 0x4;
const int KNOB_WIDTH = 10;
const int SLIDER_FOCUSED = 0x20;
const int NO_BACKGROUND = static_cast<int>(0x80000000u);
const int BUTTON_TEXT = 0x000000;
const int PANEL_TITLE_TEXT = 22;

// Whether the mode shows a left soft-key label: SOFT1 then presses the panel's first button.
bool hasLeftLabel(int mode) {
  int left = 0, right = 0;
  SoftKeyTable::labels(mode, true, &left, &right);
  return left != 0;
}

RenderItem* newItem(int type, int x, int y, int w, int h) {
  RenderItem* it = new RenderItem();
  it->type = type;
  it->x = x;
  it->y = y;
  it->width = w;
  it->height = h;
  it->flags = RenderItem::INTERFACE_FONT;
  return it;
}

bool isCheckBox(const ScreenResult& onPress) {
  return onPress.action == ScreenResult::IGNORED || onPress.action == ScreenResult::CHANGED;
}

}  // namespace

PanelScreen::PanelScreen(int mode, const String& title)
    : mode_(mode), title_(title), item_(new RenderItem()) {
  item_->type = OverlayPainter::PANEL;
  item_->flags = RenderItem::INTERFACE_FONT;
  item_->text = title;
  item_->value2 = -1;
}

PanelScreen::~PanelScreen() = default;

void PanelScreen::addText(const String& text) {
  Child c;
  c.kind = TEXT;
  c.label = text;
  children_.push_back(c);
  ++nextGroup_;
}

void PanelScreen::addButton(const String& label, const ScreenResult& onPress) {
  Child c;
  c.kind = BUTTON;
  c.label = label;
  c.onPress = onPress;
  children_.push_back(c);
  ++nextGroup_;
}

void PanelScreen::addChoice(const String& label, bool chosen, const ScreenResult& onPress) {
  Child c;
  c.kind = CHOICE;
  c.label = label;
  c.chosen = chosen;
  c.onPress = onPress;
  c.group = nextGroup_;
  children_.push_back(c);
}

void PanelScreen::addSlider(int minimum, int value, int maximum, int step, int command) {
  Child c;
  c.kind = SLIDER;
  c.minimum = minimum;
  c.maximum = std::max(minimum, maximum);
  c.value = std::min(std::max(value, c.minimum), c.maximum);
  c.step = std::max(1, step);
  c.command = command;
  children_.push_back(c);
  ++nextGroup_;
}

int PanelScreen::focused() const { return focused_; }

void PanelScreen::focus(int child) {
  if (!focusable(child)) return;
  focused_ = child;
  scrollToFocus();
  rebuild();
}

int PanelScreen::childCount() const { return static_cast<int>(children_.size()); }

bool PanelScreen::isChosen(int child) const {
  return child >= 0 && child < childCount() && children_[child].kind == CHOICE && children_[child].chosen;
}

int PanelScreen::sliderValue(int child) const {
  return child >= 0 && child < childCount() && children_[child].kind == SLIDER ? children_[child].value : 0;
}

void PanelScreen::setEntryResult(const ScreenResult& onAnswer) { onAnswer_ = onAnswer; }

void PanelScreen::setLook(int paletteSet, bool translucent) {
  paletteSet_ = paletteSet == 1 ? 1 : 0;
  translucent_ = translucent;
  relayout();
}

int PanelScreen::mode() const { return mode_; }

RenderItem* PanelScreen::item() { return item_.get(); }

int PanelScreen::frameInset() const { return translucent_ ? 2 : 1; }

int PanelScreen::lineHeight() const { return font_ ? std::max(1, font_->getHeight()) : STOCK_LINE_HEIGHT; }

int PanelScreen::titleHeight() const { return std::max(lineHeight(), ICON) + GAP; }

std::vector<String> PanelScreen::wrap(const String& text, int width) const {
  std::vector<String> lines;
  int start = 0;
  const int length = text.length();
  while (start <= length) {
    int end = text.indexOf(u'\n', start);
    if (end < 0) end = length;
    const String paragraph = text.substring(start, end);
    // A font is measured through the drawing context it is bound to; before it has one the
    // handset's width rule stands in.
    if (!font_ || !font_->getGraphics()) {
      std::vector<String> part = TextWrapper::wrap(paragraph, width, lineHeight());
      if (part.empty()) part.push_back(String());
      lines.insert(lines.end(), part.begin(), part.end());
    } else {
      // Greedy by words; a word wider than the line is broken where it reaches the edge.
      int from = 0;
      const int n = paragraph.length();
      if (n == 0) lines.push_back(String());
      while (from < n) {
        int fit = from, lastSpace = -1;
        while (fit < n && font_->substringWidth(paragraph, from, fit + 1 - from) <= width) {
          if (paragraph.charAt(fit) == u' ') lastSpace = fit;
          ++fit;
        }
        int cut = fit;
        if (fit < n) {
          if (paragraph.charAt(fit) == u' ')
            cut = fit;
          else if (lastSpace > from)
            cut = lastSpace;
          else if (fit == from)
            cut = from + 1;  // not even one character fits: show it cut
        }
        lines.push_back(paragraph.substring(from, cut));
        from = cut;
        while (from < n && paragraph.charAt(from) == u' ') ++from;
      }
    }
    start = end + 1;
  }
  return lines;
}

int PanelScreen::place(int contentWidth) {
  const int lh = lineHeight();
  int y = 0;
  for (size_t i = 0; i < children_.size(); ++i) {
    Child& c = children_[i];
    c.x = 0;
    c.y = y;
    c.width = std::max(0, contentWidth);
    switch (c.kind) {
      case TEXT:
        c.lines = wrap(c.label, c.width);
        c.height = static_cast<int>(c.lines.size()) * lh;
        break;
      case BUTTON:
        c.height = lh + 2 * GAP;
        break;
      case CHOICE:
        c.height = lh + GAP;
        break;
      case SLIDER:
        c.height = lh;
        break;
    }
    y += c.height;
    // Choices of one group stand together; everything else is a spacing apart.
    const bool sameGroup = i + 1 < children_.size() && c.kind == CHOICE && children_[i + 1].kind == CHOICE &&
                           children_[i + 1].group == c.group;
    if (i + 1 < children_.size() && !sameGroup) y += GAP;
  }
  return y;
}

void PanelScreen::layout(int viewWidth, int viewHeight, vwt::Font* interfaceFont) {
  font_ = interfaceFont;
  viewWidth_ = viewWidth;
  viewHeight_ = viewHeight;
  const int lh = lineHeight();
  rowHeight_ = lh + GAP;
  const int inset = frameInset();
  const int width = std::max(0, viewWidth - 2 * MARGIN);
  const int most = std::max(0, viewHeight - 2 * MARGIN);
  const int chrome = 2 * inset + titleHeight() + 2 * GAP;
  const int contentWidth = std::max(0, width - 2 * (inset + GAP));
  const int room = std::max(0, most - chrome);

  int extent = place(contentWidth);
  totalRows_ = (extent + rowHeight_ - 1) / rowHeight_;
  int contentHeight = totalRows_ * rowHeight_;
  if (contentHeight > room) {
    // Rows that do not fit scroll, beside the scroll bar the painter adds.
    extent = place(std::max(0, contentWidth - OverlayPainter::SCROLL_BAR_WIDTH - GAP));
    totalRows_ = (extent + rowHeight_ - 1) / rowHeight_;
    visibleRows_ = room / rowHeight_;
    contentHeight = visibleRows_ * rowHeight_;
  } else {
    visibleRows_ = totalRows_;
  }
  const int height = std::min(most, chrome + contentHeight);
  item_->x = MARGIN;
  item_->y = MARGIN + (most - height) / 2;
  item_->width = width;
  item_->height = height;
  item_->param1 = rowHeight_;
  if (focused_ < 0 || !focusable(focused_)) {
    focused_ = -1;
    for (int i = 0; i < childCount() && focused_ < 0; ++i)
      if (focusable(i)) focused_ = i;
    // A panel that opens on a choice opens on the one chosen.
    if (focused_ >= 0 && children_[focused_].kind == CHOICE) {
      const int group = children_[focused_].group;
      for (int i = focused_; i < childCount() && children_[i].kind == CHOICE && children_[i].group == group;
           ++i)
        if (children_[i].chosen) {
          focused_ = i;
          break;
        }
    }
  }
  first_ = std::min(std::max(first_, 0), std::max(0, totalRows_ - visibleRows_));
  scrollToFocus();
  rebuild();
}

void PanelScreen::relayout() {
  if (viewWidth_ > 0 || viewHeight_ > 0) layout(viewWidth_, viewHeight_, font_);
}

void PanelScreen::rebuild() {
  item_->text = title_;
  item_->dropLists();
  item_->ensureLists(1);
  RenderItem::ValueList* list = item_->getList(0);
  const int lh = lineHeight();
  // Texts read on the body they stand on: dark on the light opaque body, light on the others.
  const int textColour =
      paletteSet_ == 0 && !translucent_ ? 0x000000 : Palette::colour(paletteSet_, PANEL_TITLE_TEXT);
  item_->value2 = -1;
  for (int i = 0; i < childCount(); ++i) {
    Child& c = children_[i];
    c.firstItem = list->size();
    c.focusItem = c.firstItem;
    switch (c.kind) {
      case TEXT:
        for (size_t k = 0; k < c.lines.size(); ++k) {
          RenderItem* line = newItem(RenderItem::TEXT, c.x, c.y + static_cast<int>(k) * lh, c.width, lh);
          line->text = c.lines[k];
          line->color = textColour;
          list->addElement(line);
        }
        break;
      case BUTTON: {
        RenderItem* button = newItem(RenderItem::BUTTON, c.x, c.y, c.width, c.height);
        button->text = c.label;
        button->color = BUTTON_TEXT;
        list->addElement(button);
        break;
      }
      case CHOICE: {
        RenderItem* row = newItem(RenderItem::BOX, c.x, c.y, c.width, c.height);
        row->color2 = NO_BACKGROUND;
        list->addElement(row);
        RenderItem* mark =
            newItem(RenderItem::CHECKBOX, c.x + GAP, c.y + (c.height - ICON) / 2 + 1, ICON, ICON);
        if (c.chosen) mark->flags |= CHECKED;
        list->addElement(mark);
        const int textX = c.x + GAP + ICON + GAP;
        RenderItem* label =
            newItem(RenderItem::TEXT, textX, c.y + (c.height - lh) / 2, std::max(0, c.width - textX), lh);
        label->text = c.label;
        label->color = textColour;
        list->addElement(label);
        break;
      }
      case SLIDER: {
        RenderItem* slider = newItem(OverlayPainter::SLIDER, c.x, c.y, c.width, c.height);
        slider->ensureLists(1);
        for (int v : {c.minimum, c.value, c.maximum}) slider->getList(0)->addElement(new Integer(v));
        if (i == focused_) slider->flags |= SLIDER_FOCUSED;
        list->addElement(slider);
        break;
      }
    }
    if (i == focused_) item_->value2 = c.focusItem;
  }
  item_->value1 = first_;
}

bool PanelScreen::focusable(int child) const {
  return child >= 0 && child < childCount() && children_[child].kind != TEXT;
}

bool PanelScreen::scrollBy(int rows) {
  const int next = std::min(std::max(first_ + rows, 0), std::max(0, totalRows_ - visibleRows_));
  if (next == first_) return false;
  first_ = next;
  item_->value1 = first_;
  return true;
}

void PanelScreen::scrollToFocus() {
  if (focused_ < 0 || rowHeight_ <= 0) return;
  const Child& c = children_[focused_];
  const int top = c.y / rowHeight_, bottom = (c.y + c.height + rowHeight_ - 1) / rowHeight_;
  if (bottom > first_ + visibleRows_) first_ = bottom - visibleRows_;
  if (top < first_) first_ = top;
  first_ = std::min(std::max(first_, 0), std::max(0, totalRows_ - visibleRows_));
  item_->value1 = first_;
}

ScreenResult PanelScreen::moveFocus(int direction) {
  int next = focused_;
  for (int i = focused_ + direction; i >= 0 && i < childCount(); i += direction)
    if (focusable(i)) {
      next = i;
      break;
    }
  if (next == focused_ || next < 0) {
    // Past the last focusable child the texts around it scroll into view.
    return scrollBy(direction) ? ScreenResult::changed() : ScreenResult::ignored();
  }
  focused_ = next;
  scrollToFocus();
  // Texts between the children show too: scroll to the top before the first one.
  if (direction < 0) {
    bool above = false;
    for (int i = 0; i < focused_; ++i) above = above || focusable(i);
    if (!above) first_ = 0;
    scrollToFocus();
  }
  rebuild();
  return ScreenResult::changed();
}

int PanelScreen::stepSlider(int child, int steps) {
  Child& c = children_[child];
  // Steps land on the grid from the minimum; a maximum off the grid is reached from the last step.
  const int64_t from = int64_t{c.value} - c.minimum;
  const int64_t index = steps > 0 ? from / c.step + steps : (from + c.step - 1) / c.step + steps;
  const int64_t next = c.minimum + index * c.step;
  c.value = static_cast<int>(std::min<int64_t>(std::max<int64_t>(next, c.minimum), c.maximum));
  return c.value;
}

ScreenResult PanelScreen::key(int type, int key) {
  if (type == 0) {
    switch (key) {
      case Window::KEY_UP:
        return moveFocus(-1);
      case Window::KEY_DOWN:
        return moveFocus(1);
      case Window::KEY_LEFT:
      case Window::KEY_RIGHT: {
        if (focused_ < 0 || children_[focused_].kind != SLIDER) return ScreenResult::ignored();
        const int before = children_[focused_].value;
        const int value = stepSlider(focused_, key == Window::KEY_LEFT ? -1 : 1);
        if (value == before) return ScreenResult::ignored();
        rebuild();
        return ScreenResult::runAndKeep(children_[focused_].command, value);
      }
      default:
        return ScreenResult::ignored();
    }
  }
  if (type != 1) return ScreenResult::ignored();
  switch (key) {
    case Window::KEY_SELECT:
      return focused_ >= 0 ? activate(focused_) : ScreenResult::ignored();
    case Window::KEY_SOFT1:
      if (!hasLeftLabel(mode_)) return ScreenResult::ignored();
      for (int i = 0; i < childCount(); ++i)
        if (children_[i].kind == BUTTON) {
          focused_ = i;
          rebuild();
          return activate(i);
        }
      return ScreenResult::ignored();
    case Window::KEY_SOFT2:
    case Window::KEY_ESCAPE:
    case Window::KEY_BACKSPACE:
      return ScreenResult::close();
    default:
      return ScreenResult::ignored();
  }
}

int PanelScreen::childAt(int contentX, int contentY) const {
  for (int i = 0; i < childCount(); ++i) {
    const Child& c = children_[i];
    if (focusable(i) && contentX >= c.x && contentX < c.x + c.width && contentY >= c.y &&
        contentY < c.y + c.height)
      return i;
  }
  return -1;
}

ScreenResult PanelScreen::tap(int x, int y) {
  const RenderItem& p = *item_;
  if (x < p.x || y < p.y || x >= p.x + p.width || y >= p.y + p.height) return ScreenResult::close();
  const int inset = frameInset(), title = titleHeight();
  if (y < p.y + inset + title) {
    const int markLeft = p.x + p.width - inset - 1 - 2 * ICON;
    return x >= markLeft ? ScreenResult::close() : ScreenResult::ignored();
  }
  const int contentX = p.x + inset + GAP, contentY = p.y + inset + title + GAP;
  if (y >= contentY + visibleRows_ * rowHeight_) return ScreenResult::ignored();
  const int cx = x - contentX, cy = y - contentY + first_ * rowHeight_;
  const int child = childAt(cx, cy);
  if (child < 0) return ScreenResult::ignored();
  focused_ = child;
  Child& c = children_[child];
  if (c.kind != SLIDER) {
    rebuild();
    return activate(child);
  }
  // The knob goes where the slider was tapped, on a whole step.
  const int reserved = font_ && font_->getGraphics() ? font_->stringWidth(u" 000"_s) : 4 * lineHeight() / 2;
  const int travel = std::max(1, c.width - reserved - KNOB_WIDTH);
  const int64_t range = int64_t{c.maximum} - c.minimum;
  const int64_t along = std::min<int64_t>(std::max(cx - c.x - KNOB_WIDTH / 2, 0), travel);
  const int64_t steps = (along * range / travel + c.step / 2) / c.step;
  c.value = static_cast<int>(std::min<int64_t>(c.minimum + steps * c.step, c.maximum));
  rebuild();
  return ScreenResult::runAndKeep(c.command, c.value);
}

ScreenResult PanelScreen::entered(const String& text) {
  if (onAnswer_.action == ScreenResult::IGNORED) return ScreenResult::changed();
  ScreenResult r = onAnswer_;
  r.text = text;
  return r;
}

ScreenResult PanelScreen::activate(int child) {
  if (child < 0 || child >= childCount()) return ScreenResult::ignored();
  Child& c = children_[child];
  switch (c.kind) {
    case BUTTON:
      return c.onPress;
    case CHOICE:
      if (isCheckBox(c.onPress)) {
        c.chosen = !c.chosen;
        rebuild();
        return ScreenResult::changed();
      }
      for (Child& other : children_)
        if (other.kind == CHOICE && other.group == c.group) other.chosen = false;
      c.chosen = true;
      rebuild();
      return c.onPress;
    default:
      return ScreenResult::ignored();
  }
}

void PanelScreen::clearChildren() {
  children_.clear();
  focused_ = -1;
  first_ = 0;
  ++nextGroup_;
}
