#include "browser/page/FormControls.h"

#include <algorithm>
#include <cstdint>

#include "vwt/lang/Boolean.h"
#include "vwt/lang/Integer.h"
#include "vwt/ui/Window.h"

namespace {

const int CHECKED = 0x4;
const int MULTIPLE = 0x8;
const int UPLOAD = 0x40;
const int SUBMIT_BUTTON = 0x80;
const int RESET_BUTTON = 0x100;
const int ACTIVE = 0x20;
const int MODE_SINGLE = 5;
const int MODE_MULTIPLE = 6;
const int IME_TEXT = 2;
const int IME_PASSWORD = 1;
const int MAX_TEXT = 999;
// Rows of an open list that has not been drawn yet, as the painter opens it at least.
const int FIRST_ROWS = 5;

// The FORM a CONTROL belongs to: its position-1 reference when that is a FORM.
RenderItem* formOf(const RenderItem* control) {
  RenderItem* form = RenderItem::refOf(control, 1);
  return form && form->type == RenderItem::FORM ? form : nullptr;
}

int optionCount(const RenderItem* item) {
  RenderItem::ValueList* labels = item->getList(0);
  return labels ? labels->size() : 0;
}

// Options that can be operated: labels that are texts and as many selected flags.
bool hasOptions(const RenderItem* item) {
  RenderItem::ValueList* labels = item->getList(0);
  RenderItem::ValueList* selected = item->getList(2);
  if (!labels || !selected || labels->size() == 0 || selected->size() != labels->size()) return false;
  for (int i = 0; i < labels->size(); ++i) {
    Object* label = labels->elementAt(i);
    Object* flag = selected->elementAt(i);
    if (!label || !dynamic_cast<String*>(label) || !flag || !dynamic_cast<Boolean*>(flag)) return false;
  }
  return true;
}

bool isSelected(const RenderItem* item, int row) {
  RenderItem::ValueList* selected = item->getList(2);
  if (!selected || row < 0 || row >= selected->size()) return false;
  Object* o = selected->elementAt(row);
  Boolean* b = o ? dynamic_cast<Boolean*>(o) : nullptr;
  return b && b->boolValue();
}

void setSelected(RenderItem* item, int row, bool on) {
  RenderItem::ValueList* selected = item->getList(2);
  if (!selected || row < 0 || row >= selected->size()) return;
  Object* old = selected->elementAt(row);
  selected->setElementAt(new Boolean(on), row);
  if (selected->getAutoDelete()) delete old;
}

void selectOnly(RenderItem* item, int row) {
  RenderItem::ValueList* selected = item->getList(2);
  for (int i = 0; selected && i < selected->size(); ++i) setSelected(item, i, i == row);
}

Object* copyValue(Object* o) {
  if (!o) return nullptr;
  if (String* s = dynamic_cast<String*>(o)) return new String(*s);
  if (Boolean* b = dynamic_cast<Boolean*>(o)) return new Boolean(b->boolValue());
  if (Integer* n = dynamic_cast<Integer*>(o)) return new Integer(n->intValue());
  return nullptr;
}

// Value lists of the item's own, so that operating a copy leaves the control as it was.
void copyLists(const RenderItem* from, RenderItem* to) {
  to->dropLists();
  if (!from->lists) return;
  for (int i = 0; i < from->lists->size(); ++i) {
    RenderItem::ValueList* list = from->lists->elementAt(i);
    RenderItem::ValueList* copy = new RenderItem::ValueList(list ? std::max(list->size(), 1) : 1, true);
    for (int k = 0; list && k < list->size(); ++k) copy->addElement(copyValue(list->elementAt(k)));
    to->setList(i, copy);
  }
}

int clampInt(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

int64_t zoomed(int v, int zoom) { return static_cast<int64_t>(v) * zoom / 100; }

}  // namespace

FormControls::FormControls() = default;

FormControls::~FormControls() { closeList(); }

FormControls::Result FormControls::activate(Page& page, RenderItem* control, int pointerX, int pointerY,
                                            int zoom, bool reflow, Vector<RenderItem*>* pageOverlays) {
  Result result;
  if (!control || control->type != RenderItem::CONTROL) return result;
  RenderItem* item = RenderItem::refOf(control, 0);
  if (!item) return result;
  closeList();
  current_ = control;
  result.control = control;
  switch (item->type) {
    case RenderItem::BUTTON:
    case RenderItem::IMAGE_BUTTON: {
      bool image = item->type == RenderItem::IMAGE_BUTTON;
      if (!image && (item->flags & UPLOAD)) {
        result.outcome = FILE_MENU;
        result.button = item;
      } else if (image || (item->flags & SUBMIT_BUTTON)) {
        RenderItem* form = formOf(control);
        if (!form) break;  // a submit button outside any form submits nothing
        result.outcome = SUBMIT;
        result.form = form;
        result.button = item;
        if (image) imagePoint(control, item, pointerX, pointerY, zoom, reflow, &result);
      } else if (item->flags & RESET_BUTTON) {
        result.outcome = RESET;
      }
      break;
    }
    case RenderItem::TEXT_FIELD:
    case RenderItem::PASSWORD_FIELD:
    case RenderItem::TEXT_AREA:
      result.outcome = TEXT_ENTRY;
      result.text = item->text;
      result.imeMode = item->type == RenderItem::PASSWORD_FIELD ? IME_PASSWORD : IME_TEXT;
      result.maxLength = MAX_TEXT;
      result.multiLine = item->type == RenderItem::TEXT_AREA;
      break;
    case RenderItem::CHECKBOX:
      item->flags ^= CHECKED;
      result.outcome = REPAINT_PAGE;
      break;
    case RenderItem::RADIO:
      checkRadio(page, control, item);
      result.outcome = REPAINT_PAGE;
      break;
    case RenderItem::SELECT:
    case RenderItem::LIST: {
      if (!pageOverlays || !hasOptions(item)) break;
      bool list = item->type == RenderItem::LIST;
      if (list) pageOverlays->clear();  // a list is operated where it stands: nothing else over it
      openList(control, item, reflow, pageOverlays);
      listMode_ = list && (item->flags & MULTIPLE) ? MODE_MULTIPLE : MODE_SINGLE;
      result.outcome = LIST_OPENED;
      result.mode = listMode_;
      break;
    }
    default:
      break;
  }
  return result;
}

void FormControls::imagePoint(RenderItem* control, RenderItem* item, int pointerX, int pointerY, int zoom,
                              bool reflow, Result* result) {
  int64_t dx, dy;
  RenderItem* shown = reflow ? derivedOf(control, item) : nullptr;
  if (shown && shown->width > 0 && shown->height > 0) {
    // The derived picture is scaled to the view: back to the page's pixels.
    dx = (static_cast<int64_t>(pointerX) - shown->x) * item->width / shown->width;
    dy = (static_cast<int64_t>(pointerY) - shown->y) * item->height / shown->height;
  } else {
    int z = zoom > 0 ? zoom : 100;
    dx = static_cast<int64_t>(pointerX) * 100 / z - item->x;
    dy = static_cast<int64_t>(pointerY) * 100 / z - item->y;
  }
  // Activated from elsewhere than under the pointer (link hints): still a point of the picture.
  result->pointX =
      static_cast<int>(std::min<int64_t>(std::max<int64_t>(dx, 0), std::max(item->width - 1, 0)));
  result->pointY =
      static_cast<int>(std::min<int64_t>(std::max<int64_t>(dy, 0), std::max(item->height - 1, 0)));
}

RenderItem* FormControls::derivedOf(RenderItem* control, RenderItem* item) {
  // The one the hit test found, when it is still one of the control's derived items (a new layout
  // drops the old ones: the pointer is only compared, never followed, until it is found among them).
  RenderItem* first = nullptr;
  for (int k = 0; k < RenderItem::refCountOf(item); ++k) {
    RenderItem* derived = RenderItem::refOf(item, k);
    if (!derived || derived == item) continue;
    if (derived == control->source) return derived;
    if (!first) first = derived;
  }
  return first;
}

void FormControls::checkRadio(Page& page, RenderItem* control, RenderItem* item) {
  RenderItem* form = formOf(control);
  auto clearOther = [&](RenderItem* other) {
    if (!other || other->type != RenderItem::CONTROL || other == control) return;
    if (formOf(other) != form) return;
    RenderItem* radio = RenderItem::refOf(other, 0);
    if (radio && radio != item && radio->type == RenderItem::RADIO && radio->name.equals(item->name))
      radio->flags &= ~CHECKED;
  };
  if (form) {
    for (int i = 0; i < RenderItem::refCountOf(form); ++i) clearOther(RenderItem::refOf(form, i));
  } else if (page.structure) {
    // Radios outside any form are grouped by name among the others outside forms.
    for (int i = 0; i < page.structure->size(); ++i) clearOther(page.structure->elementAt(i));
  }
  item->flags |= CHECKED;
}

void FormControls::openList(RenderItem* control, RenderItem* item, bool reflow,
                            Vector<RenderItem*>* overlays) {
  RenderItem* shown = reflow ? derivedOf(control, item) : nullptr;
  if (!shown) shown = item;
  AutoPtr<RenderItem> copy(new RenderItem());
  copy->owner = item->owner;
  copy->type = item->type;
  copy->x = shown->x;
  copy->y = shown->y;
  copy->width = shown->width;
  copy->height = shown->height;
  // The values are the page control's: a derived control only borrows them when drawn.
  copy->color = item->color;
  copy->color2 = item->color2;
  copy->text = item->text;
  copy->name = item->name;
  copy->flags = item->flags | ACTIVE;
  int count = optionCount(item);
  copy->value2 = clampInt(item->value2, 0, count - 1);
  copy->value1 = clampInt(item->value1, 0, count - 1);
  copyLists(item, copy.get());
  copy->refs = new Vector<Object*>(1, false);
  listControl_ = item;
  overlays_ = overlays;
  listReflow_ = reflow;
  overlays->addElement(copy.get());
  listCopy_ = std::move(copy);
}

void FormControls::setText(const String& text) {
  RenderItem* item = RenderItem::refOf(current_, 0);
  if (!item) return;
  int type = item->type;
  if (type != RenderItem::TEXT_FIELD && type != RenderItem::PASSWORD_FIELD && type != RenderItem::TEXT_AREA)
    return;
  item->text = text.length() > MAX_TEXT ? text.substring(0, MAX_TEXT) : text;
  if (type == RenderItem::TEXT_AREA) {
    // Its lists are the wrapped lines and what they were made from: wrapped again when next drawn.
    item->dropLists();
    item->value1 = 0;
  }
}

bool FormControls::listKey(int key, bool* repaintPage) {
  if (repaintPage) *repaintPage = false;
  RenderItem* copy = listCopy_.get();
  if (!copy || !listControl_) return false;
  int count = optionCount(copy);
  switch (key) {
    case Window::KEY_UP:
    case Window::KEY_DOWN: {
      if (count <= 0) return false;
      copy->value2 = clampInt(copy->value2 + (key == Window::KEY_UP ? -1 : 1), 0, count - 1);
      // The first row shown follows, so that the current row stays in view.
      int visible = copy->scrollState > 0 ? copy->scrollState : std::min(count, FIRST_ROWS);
      if (copy->value2 < copy->value1) copy->value1 = copy->value2;
      if (copy->value2 >= copy->value1 + visible) copy->value1 = copy->value2 - visible + 1;
      return false;
    }
    case Window::KEY_SELECT:
      if (listMode_ == MODE_MULTIPLE) {
        setSelected(copy, copy->value2, !isSelected(copy, copy->value2));
        return false;
      }
      selectOnly(listControl_, copy->value2);
      commit(false);
      if (repaintPage) *repaintPage = true;
      closeList();
      return true;
    case Window::KEY_SOFT2:
      if (listMode_ == MODE_MULTIPLE) {
        commit(true);
        if (repaintPage) *repaintPage = true;
      }
      closeList();
      return true;
    case Window::KEY_ESCAPE:
    case Window::KEY_SOFT1:
    case Window::KEY_BACKSPACE:
      closeList();
      return true;
    default:
      return false;
  }
}

void FormControls::commit(bool withLists) {
  RenderItem* copy = listCopy_.get();
  RenderItem* item = listControl_;
  if (withLists) {
    item->flags = copy->flags & ~ACTIVE;
    copyLists(copy, item);
  }
  item->flags &= ~ACTIVE;
  item->value2 = copy->value2;
  item->value1 = copy->value1;
}

bool FormControls::listTap(int viewX, int viewY, int scrollY, int zoom, int pageLineHeight,
                           int interfaceLineHeight) {
  return listTap(viewX, viewY, LEFT_UNKNOWN, scrollY, zoom, pageLineHeight, interfaceLineHeight);
}

bool FormControls::listTap(int viewX, int viewY, int scrollX, int scrollY, int zoom, int pageLineHeight,
                           int interfaceLineHeight) {
  RenderItem* copy = listCopy_.get();
  if (!copy) return false;
  int count = optionCount(copy);
  if (count <= 0) return false;
  int z = listReflow_ ? 100 : zoom;
  int lineHeight = (copy->flags & RenderItem::INTERFACE_FONT) ? interfaceLineHeight : pageLineHeight;
  lineHeight = std::max(lineHeight, 1);
  int64_t left = zoomed(copy->x, z), width = zoomed(copy->width, z);
  if (scrollX != LEFT_UNKNOWN &&
      (viewX + static_cast<int64_t>(scrollX) < left || viewX + static_cast<int64_t>(scrollX) >= left + width))
    return false;
  int64_t row;
  if (copy->type == RenderItem::SELECT) {
    // The open list as last drawn: its top and height in view pixels, rows one line height apart
    // from one pixel under the top.
    int64_t top, height;
    int rows = copy->scrollState > 0 ? copy->scrollState : std::min(count, FIRST_ROWS);
    if (copy->param3 != 0) {
      top = static_cast<int16_t>((static_cast<uint32_t>(copy->param3) >> 16) & 0xFFFF);
      height = copy->param3 & 0xFFFF;
    } else {
      top = zoomed(copy->y, z) + zoomed(copy->height, z) - scrollY;
      height = static_cast<int64_t>(lineHeight) * rows + 3;
    }
    if (viewY < top || viewY >= top + height) return false;
    row = std::max<int64_t>(viewY - top - 1, 0) / lineHeight;
    if (row >= rows) row = rows - 1;
  } else {
    // Rows of a list are drawn a line height and one pixel apart from the item's top.
    int64_t top = zoomed(copy->y, z) - scrollY, height = zoomed(copy->height, z);
    int64_t pitch = static_cast<int64_t>(lineHeight) + 1;
    if (viewY < top || viewY >= top + height) return false;
    row = (viewY - top) / pitch;
    // Below the last whole row nothing is drawn.
    if (row >= std::max<int64_t>(height / pitch, 1)) return false;
  }
  row += copy->value1;
  if (row < 0 || row >= count) return false;
  int r = static_cast<int>(row);
  if (copy->flags & MULTIPLE)
    setSelected(copy, r, !isSelected(copy, r));
  else
    selectOnly(copy, r);
  copy->value2 = r;
  return true;
}

bool FormControls::listOpen() const { return listCopy_.get() != nullptr; }

int FormControls::listMode() const { return listCopy_.get() ? listMode_ : 0; }

RenderItem* FormControls::currentControl() const { return current_; }

void FormControls::pageChanged() {
  closeList();
  current_ = nullptr;
}

void FormControls::closeList() {
  if (listCopy_.get() && overlays_) {
    int at = overlays_->indexOf(listCopy_.get());
    if (at >= 0) overlays_->removeElementAt(at);
  }
  listCopy_.reset();
  listControl_ = nullptr;
  overlays_ = nullptr;
  listMode_ = 0;
  listReflow_ = false;
}
