#include "vwt/platform/DrawnPopupMenu.h"

#include <algorithm>
#include <map>

#include "vwt/platform/ControlLook.h"
#include "vwt/platform/ControlPainter.h"
#include "vwt/platform/MessageKinds.h"
#include "vwt/platform/ModalLoop.h"
#include "vwt/platform/VirtualKeys.h"

namespace vwt {
namespace platform {

namespace {

using Look = ControlLook;

const char16_t* const CLASS_NAME = u"vwtPopupMenu";

struct Menu {
  ModalLoop* loop = nullptr;
  std::vector<DrawnPopupMenu::Item> items;
  std::vector<int> tops;  // each item's top, in content coordinates
  int contentHeight = 0;
  int width = 0, height = 0;
  int scroll = 0;     // content pixels above the window
  int selected = -1;  // the highlighted item
  bool tracking = false;
};

std::map<WindowHandle, Menu*>& menus() {
  static std::map<WindowHandle, Menu*> open;
  return open;
}

int itemHeight(const DrawnPopupMenu::Item& item) {
  return item.separator ? Look::MENU_SEPARATOR_HEIGHT : Look::MENU_ITEM_HEIGHT;
}

bool choosable(const DrawnPopupMenu::Item& item) { return !item.separator && item.enabled; }

void drawCheck(ControlPainter& p, int x, int y, uint32_t rgb) {
  // A tick two pixels thick in a 9 x 7 box.
  for (int d = 0; d <= 1; ++d) {
    p.line(x, y + 3 + d, x + 3, y + 6 + d, rgb);
    p.line(x + 3, y + 6 + d, x + 9, y + d, rgb);
  }
}

void paint(WindowHandle window, const Menu& m) {
  Surface* surface = WindowSystem::get().getSurface(window);
  if (!surface) return;
  ControlPainter p(*surface);
  p.fill(0, 0, m.width, m.height, Look::FACE);
  const int lineH = ControlPainter::lineHeight();
  const int textX = Look::BORDER + Look::CHECK_COLUMN + Look::PADDING / 2;
  const int textRoom = m.width - textX - Look::PADDING - Look::BORDER;
  for (size_t i = 0; i < m.items.size(); ++i) {
    const DrawnPopupMenu::Item& item = m.items[i];
    int top = m.tops[i] - m.scroll + Look::BORDER;
    int h = itemHeight(item);
    if (top + h <= 0 || top >= m.height) continue;
    if (item.separator) {
      p.fill(Look::BORDER + Look::PADDING / 2, top + h / 2, m.width - 2 * Look::BORDER - Look::PADDING, 1,
             Look::SEPARATOR);
      continue;
    }
    bool lit = static_cast<int>(i) == m.selected;
    if (lit) p.fill(Look::BORDER, top, m.width - 2 * Look::BORDER, h, Look::HIGHLIGHT);
    uint32_t ink = !item.enabled ? Look::GREYED_TEXT : lit ? Look::HIGHLIGHT_TEXT : Look::TEXT;
    if (item.checked) drawCheck(p, Look::BORDER + 4, top + (h - 8) / 2, ink);
    p.text(ControlPainter::fit(item.text, textRoom), textX, top + (h - lineH) / 2, ink);
  }
  p.frame(0, 0, m.width, m.height, Look::OUTLINE);
}

int itemAt(const Menu& m, int x, int y) {
  if (x < 0 || x >= m.width || y < 0 || y >= m.height) return -1;
  int cy = y - Look::BORDER + m.scroll;
  for (size_t i = 0; i < m.items.size(); ++i)
    if (cy >= m.tops[i] && cy < m.tops[i] + itemHeight(m.items[i])) return static_cast<int>(i);
  return -1;
}

// Scrolls so that the selected item is in view.
void reveal(Menu& m) {
  if (m.selected < 0) return;
  const int view = m.height - 2 * Look::BORDER;
  int top = m.tops[m.selected], bottom = top + itemHeight(m.items[m.selected]);
  if (top < m.scroll) m.scroll = top;
  if (bottom > m.scroll + view) m.scroll = bottom - view;
}

void select(WindowHandle window, Menu& m, int index) {
  if (index == m.selected) return;
  m.selected = index;
  reveal(m);
  WindowSystem::get().invalidate(window, nullptr, false);
}

void step(WindowHandle window, Menu& m, int direction) {
  const int n = static_cast<int>(m.items.size());
  int i = m.selected;
  for (int k = 0; k < n; ++k) {
    i = i < 0 ? (direction > 0 ? 0 : n - 1) : (i + direction + n) % n;
    if (choosable(m.items[i])) {
      select(window, m, i);
      return;
    }
  }
}

intptr_t procedure(WindowHandle window, uint32_t kind, uintptr_t wParam, intptr_t lParam) {
  auto found = menus().find(window);
  if (found == menus().end()) return 0;
  Menu& m = *found->second;
  const int x = signedPointX(lParam), y = signedPointY(lParam);
  switch (kind) {
    case WM_PAINT:
      paint(window, m);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_KEYDOWN:
      switch (static_cast<int>(wParam)) {
        case VK_UP:
          step(window, m, -1);
          break;
        case VK_DOWN:
          step(window, m, 1);
          break;
        case VK_SELECT:
          if (m.selected >= 0 && choosable(m.items[m.selected])) m.loop->done(m.items[m.selected].id);
          break;
        case VK_ESCAPE:
        case VK_BACK:
          m.loop->done(0);
          break;
        default:
          break;
      }
      return 0;
    case WM_LBUTTONDOWN: {
      int i = itemAt(m, x, y);
      if (x < 0 || x >= m.width || y < 0 || y >= m.height) {
        m.loop->done(0);  // a tap outside dismisses
        return 0;
      }
      m.tracking = true;
      if (i >= 0 && choosable(m.items[i])) select(window, m, i);
      return 0;
    }
    case WM_MOUSEMOVE: {
      int i = itemAt(m, x, y);
      if (m.tracking && i >= 0 && choosable(m.items[i])) select(window, m, i);
      return 0;
    }
    case WM_LBUTTONUP: {
      if (!m.tracking) return 0;
      m.tracking = false;
      int i = itemAt(m, x, y);
      if (i >= 0 && choosable(m.items[i])) m.loop->done(m.items[i].id);
      return 0;
    }
    case WM_CLOSE:
      m.loop->done(0);
      return 0;
    default:
      return 0;
  }
}

}  // namespace

PixelRect DrawnPopupMenu::place(int width, int height, int x, int y, int align, int screenW, int screenH) {
  width = std::min(width, screenW);
  height = std::min(height, screenH);
  int left = (align & ALIGN_RIGHT) ? x - width : x;
  int top = (align & ALIGN_BOTTOM) ? y - height : y;
  left = std::max(0, std::min(left, screenW - width));
  top = std::max(0, std::min(top, screenH - height));
  return PixelRect{left, top, left + width, top + height};
}

int DrawnPopupMenu::show(WindowHandle owner, const std::vector<Item>& items, int x, int y, int align) {
  if (!WindowSystem::exists()) return 0;
  WindowSystem& ws = WindowSystem::get();
  if (!ws.isUiThread()) {
    int result = 0;
    ws.call([&] {
      result = show(owner, items, x, y, align);
      return 0;
    });
    return result;
  }
  if (items.empty()) return 0;
  if (!ws.isClassRegistered(CLASS_NAME) && !ws.registerClass(WindowClass{CLASS_NAME, &procedure, Look::FACE}))
    return 0;

  Menu m;
  m.items = items;
  int widest = 0;
  for (const Item& item : m.items) {
    m.tops.push_back(m.contentHeight);
    m.contentHeight += itemHeight(item);
    if (!item.separator) widest = std::max(widest, ControlPainter::textWidth(item.text));
  }
  int screenW, screenH;
  ws.screenSize(&screenW, &screenH);
  int width = 2 * Look::BORDER + Look::CHECK_COLUMN + Look::PADDING / 2 + widest + Look::PADDING;
  PixelRect r = place(width, m.contentHeight + 2 * Look::BORDER, x, y, align, screenW, screenH);
  m.width = r.x1 - r.x0;
  m.height = r.y1 - r.y0;

  WindowHandle window = ws.createWindow(CLASS_NAME, u"", 0, 0, r.x0, r.y0, m.width, m.height);
  if (!window) return 0;
  ModalLoop loop(window, owner);
  m.loop = &loop;
  menus()[window] = &m;
  step(window, m, 1);
  ws.show(window, true);
  // Every tap comes here, so that one outside the menu dismisses it.
  ws.setCapture(window);
  int result = loop.exec(0);
  menus().erase(window);
  if (ws.getCapture() == window) ws.releaseCapture();
  ws.destroyWindow(window);
  return result;
}

}  // namespace platform
}  // namespace vwt
