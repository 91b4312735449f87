#include "vwt/ui/TextBox.h"

#include <algorithm>
#include <string>

#include "vwt/lang/Resource.h"
#include "vwt/platform/EditControl.h"
#include "vwt/platform/MessageKinds.h"
#include "vwt/platform/VirtualKeys.h"
#include "vwt/platform/WindowSystem.h"
#include "vwt/ui/Application.h"
#include "vwt/ui/Frame.h"
#include "vwt/ui/MenuItem.h"
#include "vwt/ui/PopupMenu.h"

using namespace vwt::platform;

namespace {

struct MenuEntry {
  int id;
  int text;
};
const MenuEntry MENU[] = {
    {TextBox::MENU_SELECT, -1803}, {TextBox::MENU_CUT, -1804},   {TextBox::MENU_COPY, -1805},
    {TextBox::MENU_PASTE, -1806},  {TextBox::MENU_CLEAR, -1807}, {TextBox::MENU_SELECT_ALL, -1808},
    {TextBox::MENU_CANCEL, -1809},
};
const int END_SELECTION_TEXT = -1802;

bool isCrLf(const String& t, int i) {
  return i >= 0 && i + 1 < t.length() && t.charAt(i) == u'\r' && t.charAt(i + 1) == u'\n';
}

// Where the line holding p starts: after the last CR LF that ends at or before p.
int lineStart(const String& t, int p) {
  for (int i = p - 2; i >= 0; --i)
    if (isCrLf(t, i)) return i + 2;
  return 0;
}

// The first CR LF at or after p, -1 for none.
int nextBreak(const String& t, int p) {
  for (int i = p; i + 1 < t.length(); ++i)
    if (isCrLf(t, i)) return i;
  return -1;
}

Frame* mainFrame() {
  Application* app = Application::getCurrentApp();
  return app ? app->getFrame() : nullptr;
}

std::u16string units(const String& s) {
  return std::u16string(s.getCString(), static_cast<size_t>(s.length()));
}

}  // namespace

TextBox::TextBox(Window* parent, int x, int y, int width, int height, const String& initialText, int style,
                 int imeMode)
    : style_(style) {
  text_ = convertLfToCrLf(initialText);
  uint32_t editStyle = STYLE_VISIBLE;
  if (style == STYLE_PASSWORD) editStyle |= EditControl::EDIT_PASSWORD;
  if (style & STYLE_MULTILINE) editStyle |= EditControl::EDIT_MULTILINE;
  if (imeMode == IME_MODE_DIGITS) editStyle |= EditControl::EDIT_DIGITS;
  x_ = x;
  y_ = y;
  int h = parent && parent->getHandle()
              ? EditControl::create(parent->getHandle(), x, y, width, height, editStyle, units(text_))
              : 0;
  if (!h) return;
  handle_ = h;
  if (Application* app = Application::getCurrentApp()) app->addWindowHandle(h, this);
  if (imeMode == 0 || imeMode == 1) enableIme(false);
  setImeMode(imeMode);
  requestFocus();
  const int length = text_.length();
  if (style & STYLE_CARET_AT_END) EditControl::setSelection(h, length, length);
  if (style & STYLE_SELECT_ALL) EditControl::selectAll(h);
  if (Frame* frame = mainFrame()) {
    frame->setSoftLabel(Frame::SOFT_KEY_LEFT, Resource::getString(-1800));
    frame->setSoftLabel(Frame::SOFT_KEY_RIGHT, Resource::getString(-1801));
  }
  WindowSystem::get().bringToTop(h);
}

TextBox::~TextBox() { dropMenu(); }

void TextBox::dropMenu() {
  if (!menu_) return;
  // The items answer through the frame's components: they leave it with the menu, unless a newer
  // menu has taken their ids.
  if (Frame* frame = mainFrame())
    for (int i = 0; i < menu_->getItemCount(); ++i) {
      MenuItem* item = menu_->getItem(i);
      if (item && frame->getComponent(item->getId()) == item) frame->remove(item->getId());
    }
  delete menu_;
  menu_ = nullptr;
}

void TextBox::onKeyPressed(int key) {
  if (key != KEY_BACKSPACE || !handle_) return;
  int start, end;
  EditControl::getSelection(handle_, &start, &end);
  if (start == end) {
    if (end == 0) return;
    // The character before the caret, a CR LF as one.
    int from = end - 1;
    std::u16string t = WindowSystem::get().getText(handle_);
    if (end >= 2 && t[end - 2] == u'\r' && t[end - 1] == u'\n') from = end - 2;
    EditControl::setSelection(handle_, from, end);
  }
  EditControl::clear(handle_);
  leaveSelectionMode();
}

void TextBox::onKeyReleased(int key) {
  if (key == KEY_SOFT1)
    fireIMEEvent(0);
  else if (key == KEY_SOFT2)
    showEditMenu();
}

bool TextBox::onPreTranslateMessage(int handle, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  (void)lParam;
  if (handle != handle_) return true;
  // The soft keys belong to the box, never to the text: on a handset they are the menu bar's.
  if ((message == WM_KEYDOWN || message == WM_KEYUP) && (wParam == VK_SOFT1 || wParam == VK_SOFT2)) {
    int key = wParam == VK_SOFT1 ? KEY_SOFT1 : KEY_SOFT2;
    if (message == WM_KEYDOWN) {
      if (!isKeyRepeat(lParam)) onKeyPressed(key);
    } else {
      onKeyReleased(key);
    }
    return false;
  }
  if (message != WM_KEYDOWN || !isSelecting()) return true;
  int key = ConvertVKeyToKey(static_cast<int>(wParam));
  if (key == KEY_LEFT || key == KEY_RIGHT || key == KEY_UP || key == KEY_DOWN) {
    std::u16string raw = WindowSystem::get().getText(handle_);
    String text(raw.data(), 0, static_cast<int>(raw.size()));
    selectEnd_ = moveSelectEnd(text, selectEnd_, key, &selectColumn_);
    int length = text.length();
    EditControl::setSelection(handle_, std::max(0, std::min(selectAnchor_, length)),
                              std::max(0, std::min(selectEnd_, length)));
  }
  return false;
}

void TextBox::enterSelectionMode() {
  int caret = EditControl::getCaret(handle_);
  std::u16string t = WindowSystem::get().getText(handle_);
  selectAnchor_ = selectEnd_ = caret;
  selectColumn_ = columnOf(String(t.data(), 0, static_cast<int>(t.size())), caret);
}

int TextBox::getSelectionLength() const {
  if (isSelecting()) return std::abs(selectEnd_ - selectAnchor_);
  if (!handle_) return 0;
  int start, end;
  EditControl::getSelection(handle_, &start, &end);
  return end - start;
}

bool TextBox::isMenuCommandEnabled(int id) const {
  switch (id) {
    case MENU_CUT:
    case MENU_COPY:
    case MENU_CLEAR:
      return getSelectionLength() > 0;
    case MENU_SELECT:
    case MENU_PASTE:
    case MENU_SELECT_ALL:
    case MENU_CANCEL:
      return true;
    default:
      return false;
  }
}

void TextBox::showEditMenu() {
  Frame* frame = mainFrame();
  if (!handle_ || !frame) return;
  dropMenu();
  menu_ = new PopupMenu();
  for (const MenuEntry& m : MENU) {
    int text = m.id == MENU_SELECT && isSelecting() ? END_SELECTION_TEXT : m.text;
    MenuItem* item = new MenuItem(m.id, Resource::getString(text), isMenuCommandEnabled(m.id));
    item->addListener(this);
    menu_->add(item);
    frame->add(item, m.id);
  }
  // At the box's lower-right corner, opening towards the middle of the frame.
  Point corner = getLocationOnScreen();
  const int x = corner.x + getWidth(), y = corner.y + getHeight();
  Point origin = frame->getLocationOnScreen();
  int align = menuAlignment(x, y, origin.x, origin.y, frame->getWidth(), frame->getHeight());
  menu_->show(frame, x, y, align);
}

void TextBox::actionPerformed(AbstractButton* source, int commandId) {
  (void)source;
  if (!handle_) return;
  switch (commandId) {
    case MENU_SELECT:
      if (isSelecting())
        leaveSelectionMode();
      else
        enterSelectionMode();
      break;
    case MENU_CUT:
      EditControl::cut(handle_);
      leaveSelectionMode();
      break;
    case MENU_COPY:
      EditControl::copy(handle_);
      leaveSelectionMode();
      break;
    case MENU_PASTE:
      EditControl::paste(handle_);
      leaveSelectionMode();
      break;
    case MENU_CLEAR:
      EditControl::clear(handle_);
      leaveSelectionMode();
      break;
    case MENU_SELECT_ALL: {
      EditControl::selectAll(handle_);
      int length = static_cast<int>(WindowSystem::get().getText(handle_).size());
      selectAnchor_ = 0;
      selectEnd_ = length;
      std::u16string t = WindowSystem::get().getText(handle_);
      selectColumn_ = columnOf(String(t.data(), 0, static_cast<int>(t.size())), length);
      break;
    }
    case MENU_CANCEL:
      fireIMEEvent(1);
      break;
    default:
      break;
  }
}

void TextBox::fireIMEEvent(int type) {
  setVisible(false);
  // getText gives LF line ends.
  Component::fireIMEEvent(type, getText());
}

int TextBox::menuAlignment(int x, int y, int frameX, int frameY, int frameWidth, int frameHeight) {
  return (x < frameX + frameWidth / 2 ? PopupMenu::ALIGN_LEFT : PopupMenu::ALIGN_RIGHT) |
         (y < frameY + frameHeight / 2 ? PopupMenu::ALIGN_TOP : PopupMenu::ALIGN_BOTTOM);
}

int TextBox::columnOf(const String& text, int position) { return position - lineStart(text, position); }

int TextBox::moveSelectEnd(const String& text, int end, int key, int* column) {
  const int n = text.length();
  end = std::max(0, std::min(end, n));
  switch (key) {
    case KEY_RIGHT:
      if (end < n) end += isCrLf(text, end) ? 2 : 1;
      *column = columnOf(text, end);
      break;
    case KEY_LEFT:
      if (end > 0) end -= end >= 2 && isCrLf(text, end - 2) ? 2 : 1;
      *column = columnOf(text, end);
      break;
    case KEY_UP: {
      const int start = lineStart(text, end);
      if (start == 0) return 0;
      const int previousEnd = start - 2;
      const int previousStart = lineStart(text, previousEnd);
      end = previousStart + std::min(*column, previousEnd - previousStart);
      break;
    }
    case KEY_DOWN: {
      const int lineBreak = nextBreak(text, end);
      if (lineBreak < 0) return n;
      const int nextStart = lineBreak + 2;
      int nextEnd = nextBreak(text, nextStart);
      if (nextEnd < 0) nextEnd = n;
      end = nextStart + std::min(*column, nextEnd - nextStart);
      break;
    }
    default:
      break;
  }
  return end;
}
