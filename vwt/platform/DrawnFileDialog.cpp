#include "vwt/platform/DrawnFileDialog.h"

#include <algorithm>
#include <map>

#include "vwt/lang/String.h"
#include "vwt/platform/ControlLook.h"
#include "vwt/platform/DrawnMessageBox.h"
#include "vwt/platform/EditControl.h"
#include "vwt/platform/FontEngine.h"
#include "vwt/platform/MessageKinds.h"
#include "vwt/platform/ModalLoop.h"
#include "vwt/platform/RasterRects.h"
#include "vwt/platform/Surface.h"
#include "vwt/platform/VirtualKeys.h"

namespace vwt {
namespace platform {

const char16_t* const DrawnFileDialog::CLASS_NAME = u"vwtFileDialog";

namespace {

using Look = ControlLook;

const int ROW_HEIGHT = Look::FONT_HEIGHT + 6;
const int FIELD_HEIGHT = Look::FONT_HEIGHT + 10;
const int ICON_WIDTH = 14;
const int SCROLL_WIDTH = 4;
const uint32_t FOLDER_ICON = 0xE0A93B;
const char16_t ELLIPSIS = u'\u2026';
// Posted to the dialog once its loop runs: the save dialog starts in the name field.
const uint32_t FOCUS_NAME_MESSAGE = WM_USER + 0x31;

FontFace* face() {
  return FontEngine::instance().face(String(Look::FONT_FACE, false), Look::FONT_HEIGHT, false);
}

int textWidth(const std::u16string& s) {
  return FontEngine::instance().measure(face(), s.data(), static_cast<int>(s.size()));
}

// The text cut at the end (or at the start, for a path) with an ellipsis to fit width. Widths
// add up unit by unit, so one pass finds the cut; a surrogate pair is never split.
std::u16string fitted(const std::u16string& s, int width, bool keepEnd) {
  if (textWidth(s) <= width) return s;
  FontEngine& fonts = FontEngine::instance();
  int room = width - fonts.advance(face(), ELLIPSIS);
  size_t kept = 0;
  for (int used = 0; kept < s.size(); ++kept) {
    used += fonts.advance(face(), keepEnd ? s[s.size() - 1 - kept] : s[kept]);
    if (used > room) break;
  }
  if (kept == 0) return std::u16string(1, ELLIPSIS);
  if (keepEnd) {
    size_t from = s.size() - kept;
    if (s[from] >= 0xDC00 && s[from] <= 0xDFFF) ++from;
    return ELLIPSIS + s.substr(from);
  }
  if (s[kept - 1] >= 0xD800 && s[kept - 1] <= 0xDBFF) --kept;
  return s.substr(0, kept) + ELLIPSIS;
}

// Text with its cell top at (x, top), clipped to the box (logical coordinates) and the surface.
void drawText(Surface& s, const std::u16string& text, int x, int top, uint32_t rgb, const PixelRect& box) {
  PixelRect device{box.x0 + s.originX(), box.y0 + s.originY(), box.x1 + s.originX(), box.y1 + s.originY()};
  for (const PixelRect& r : s.clipRects()) {
    PixelRect clip{std::max(r.x0, device.x0), std::max(r.y0, device.y0), std::min(r.x1, device.x1),
                   std::min(r.y1, device.y1)};
    if (clip.x0 >= clip.x1 || clip.y0 >= clip.y1) continue;
    FontEngine::instance().draw(s.target(), clip, face(), x + s.originX(), top + s.originY(), text.data(),
                                static_cast<int>(text.size()), rgb);
  }
}

bool inside(const PixelRect& r, int x, int y) { return x >= r.x0 && x < r.x1 && y >= r.y0 && y < r.y1; }

class FileDialog {
 public:
  FileDialog(WindowHandle owner, const DrawnFileDialog::Request& request, const DrawnFileDialog::Texts& texts)
      : owner_(owner),
        texts_(texts),
        model_(request.purpose, request.initialFolder,
               FileDialogModel::parseFilters(request.filter, texts.allFiles)),
        firstName_(request.name) {}

  int run(std::u16string* chosen);
  intptr_t handle(uint32_t kind, uintptr_t wParam, intptr_t lParam);

  static std::map<WindowHandle, FileDialog*>& dialogs() {
    static std::map<WindowHandle, FileDialog*> dialogs;
    return dialogs;
  }

 private:
  void layout(int width, int height);
  void paint();
  void paintList(Surface& s);
  void paintButton(Surface& s, const PixelRect& r, const std::u16string& label, bool pressed);
  int visibleRows() const { return std::max(1, (list_.y1 - list_.y0 - 2) / ROW_HEIGHT); }
  void choose(int row);
  void scrollTo(int row);
  void openRow(int row);
  void enter(const std::u16string& path);
  void changeFilter(int step);
  void ok();
  void cancel() { loop_->done(0); }
  void keyDown(int key);
  void pointerDown(int x, int y);
  void pointerMove(int y);
  // The scroll bar's knob: its top and length, window coordinates.
  void knobSpan(int* top, int* length) const;
  void pointerUp(int x, int y);
  std::u16string name() const { return WindowSystem::get().getText(field_); }
  void setName(const std::u16string& name) {
    WindowSystem::get().setText(field_, name);
    int end = static_cast<int>(name.size());
    EditControl::setSelection(field_, end, end);
  }
  void notify(DrawnFileDialog::Notice notice, const std::u16string& path) {
    DrawnMessageBox::show(window_, texts_.title, texts_.notice(notice, path), DrawnMessageBox::BUTTONS_OK,
                          DrawnMessageBox::ICON_WARNING);
  }
  void invalidate() { WindowSystem::get().invalidate(window_, nullptr, false); }

  WindowHandle owner_;
  const DrawnFileDialog::Texts& texts_;
  FileDialogModel model_;
  std::u16string firstName_;
  WindowHandle window_ = 0;
  WindowHandle field_ = 0;
  ModalLoop* loop_ = nullptr;
  std::u16string chosen_;

  int selected_ = -1;
  int first_ = 0;        // the list's first visible row
  int pressedPart_ = 0;  // a Part
  int tappedRow_ = -1;   // the row a tap went down on, and whether it was chosen already
  bool rowWasChosen_ = false;
  int dragY_ = 0;  // where a press in the list went down, and the first row then
  int dragFirst_ = 0;
  bool dragged_ = false;

  // Parts, in window coordinates.
  PixelRect caption_{}, folder_{}, list_{}, filter_{}, fieldRect_{}, okButton_{}, cancelButton_{};
  enum Part { NONE, LIST, FILTER, OK_BUTTON, CANCEL_BUTTON };
  Part partAt(int x, int y) const {
    if (inside(list_, x, y)) return LIST;
    if (inside(filter_, x, y)) return FILTER;
    if (inside(okButton_, x, y)) return OK_BUTTON;
    if (inside(cancelButton_, x, y)) return CANCEL_BUTTON;
    return NONE;
  }
};

intptr_t procedure(WindowHandle window, uint32_t kind, uintptr_t wParam, intptr_t lParam) {
  auto it = FileDialog::dialogs().find(window);
  return it == FileDialog::dialogs().end() ? 0 : it->second->handle(kind, wParam, lParam);
}

void FileDialog::layout(int width, int height) {
  const int pad = Look::PADDING;
  caption_ = PixelRect{0, 0, width, Look::CAPTION_HEIGHT};
  folder_ = PixelRect{pad, caption_.y1 + Look::LINE_GAP, width - pad,
                      caption_.y1 + Look::LINE_GAP + Look::FONT_HEIGHT + 2 * Look::LINE_GAP};
  int buttonsTop = height - pad - Look::BUTTON_HEIGHT;
  int buttonWidth = std::max(Look::BUTTON_MIN_WIDTH, (width - 2 * pad - Look::GAP) / 3);
  cancelButton_ = PixelRect{width - pad - buttonWidth, buttonsTop, width - pad, height - pad};
  okButton_ = PixelRect{cancelButton_.x0 - Look::GAP - buttonWidth, buttonsTop, cancelButton_.x0 - Look::GAP,
                        height - pad};
  int fieldTop = buttonsTop - Look::GAP - FIELD_HEIGHT;
  fieldRect_ = PixelRect{pad, fieldTop, width - pad, fieldTop + FIELD_HEIGHT};
  int filterTop = fieldTop - Look::LINE_GAP - ROW_HEIGHT;
  filter_ = PixelRect{pad, filterTop, width - pad, filterTop + ROW_HEIGHT};
  // The list takes whole rows of what is left.
  int listTop = folder_.y1 + Look::LINE_GAP;
  int rows = std::max(1, (filterTop - Look::LINE_GAP - listTop - 2) / ROW_HEIGHT);
  list_ = PixelRect{pad, listTop, width - pad, listTop + rows * ROW_HEIGHT + 2};
}

int FileDialog::run(std::u16string* chosen) {
  WindowSystem& ws = WindowSystem::get();
  if (!ws.isClassRegistered(DrawnFileDialog::CLASS_NAME))
    ws.registerClass(WindowClass{DrawnFileDialog::CLASS_NAME, procedure, Look::FACE});
  int width = 0, height = 0;
  ws.screenSize(&width, &height);
  layout(width, height);
  window_ = ws.createWindow(DrawnFileDialog::CLASS_NAME, texts_.title, STYLE_VISIBLE, 0, 0, 0, width, height);
  if (!window_) return 0;
  dialogs()[window_] = this;
  field_ = EditControl::create(window_, fieldRect_.x0, fieldRect_.y0, fieldRect_.x1 - fieldRect_.x0,
                               FIELD_HEIGHT, STYLE_VISIBLE, firstName_);
  if (field_) {
    EditControl::setLimit(field_, FileDialogModel::MAX_PATH_UNITS - 1);
    setName(firstName_);
  }
  ws.bringToTop(window_);
  if (model_.purpose() == FileDialogModel::SAVE) ws.post(window_, FOCUS_NAME_MESSAGE, 0, 0);
  ModalLoop loop(window_, owner_);
  loop_ = &loop;
  int result = loop.exec(0);
  if (loop.answeredByScript()) chosen_ = loop.answerText();
  loop_ = nullptr;
  dialogs().erase(window_);
  if (ws.isWindow(window_)) ws.destroyWindow(window_);
  if (result != 1) return 0;
  *chosen = chosen_;
  return 1;
}

intptr_t FileDialog::handle(uint32_t kind, uintptr_t wParam, intptr_t lParam) {
  switch (kind) {
    case WM_PAINT:
      paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_KEYDOWN:
      keyDown(static_cast<int>(wParam));
      return 0;
    case WM_CHAR:
      // Typing in the list goes on in the name field.
      if (wParam >= 0x20 && wParam != 0x7F && field_) {
        WindowSystem::get().setFocus(field_);
        WindowSystem::get().send(field_, WM_CHAR, wParam, lParam);
        invalidate();
      }
      return 0;
    case WM_LBUTTONDOWN:
      pointerDown(signedPointX(lParam), signedPointY(lParam));
      return 0;
    case WM_MOUSEMOVE:
      pointerMove(signedPointY(lParam));
      return 0;
    case WM_LBUTTONUP:
      pointerUp(signedPointX(lParam), signedPointY(lParam));
      return 0;
    case WM_LBUTTONDBLCLK:  // the second press of a double tap: its release opens the row
      pointerDown(signedPointX(lParam), signedPointY(lParam));
      return 0;
    case WM_COMMAND:
      if (static_cast<int>(lowWord(wParam)) == EditControl::ENTER_COMMAND) ok();
      if (static_cast<int>(lowWord(wParam)) == EditControl::ESCAPE_COMMAND) cancel();
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      invalidate();  // the chosen row shows where the keys go
      return 0;
    case WM_CLOSE:
      cancel();
      return 0;
    default:
      if (kind == FOCUS_NAME_MESSAGE && field_) WindowSystem::get().setFocus(field_);
      return 0;
  }
}

void FileDialog::keyDown(int key) {
  int count = static_cast<int>(model_.entries().size());
  switch (key) {
    case VK_UP:
      // With nothing chosen, up starts from the bottom.
      if (count > 0) choose(selected_ < 0 ? count - 1 : std::max(0, selected_ - 1));
      break;
    case VK_DOWN:
      if (count > 0) choose(std::min(count - 1, selected_ + 1));
      break;
    case VK_SELECT:
      if (selected_ >= 0)
        openRow(selected_);
      else
        ok();
      break;
    case VK_LEFT:
      changeFilter(-1);
      break;
    case VK_RIGHT:
      changeFilter(1);
      break;
    case VK_BACK:
      if (model_.folder() != u"/") enter(u"..");
      break;
    case VK_SOFT1:
      ok();
      break;
    case VK_SOFT2:
    case VK_ESCAPE:
      cancel();
      break;
    default:
      break;
  }
}

void FileDialog::choose(int row) {
  selected_ = row;
  const FileDialogModel::Entry& e = model_.entries()[row];
  if (!e.isFolder) setName(e.name);
  scrollTo(row);
  invalidate();
}

void FileDialog::scrollTo(int row) {
  int rows = visibleRows();
  if (row < first_) first_ = row;
  if (row >= first_ + rows) first_ = row - rows + 1;
  first_ = std::max(0, std::min(first_, static_cast<int>(model_.entries().size()) - rows));
}

void FileDialog::openRow(int row) {
  const FileDialogModel::Entry& e = model_.entries()[row];
  if (e.isFolder) {
    enter(e.name);
  } else {
    setName(e.name);
    ok();
  }
}

void FileDialog::enter(const std::u16string& path) {
  std::u16string before = model_.folder();
  if (!model_.enterFolder(path)) {
    notify(DrawnFileDialog::NOTICE_UNREADABLE_FOLDER, FileDialogModel::resolve(before, path));
    return;
  }
  // Coming up out of a folder, the folder left is the chosen row.
  selected_ = -1;
  first_ = 0;
  if (model_.folder() == FileDialogModel::parentOf(before)) {
    std::u16string left = before.substr(before.find_last_of(u'/') + 1);
    for (size_t i = 0; i < model_.entries().size(); ++i)
      if (model_.entries()[i].isFolder && model_.entries()[i].name == left) selected_ = static_cast<int>(i);
    if (selected_ >= 0) scrollTo(selected_);
  }
  invalidate();
}

void FileDialog::changeFilter(int step) {
  model_.setFilterIndex(model_.filterIndex() + step);
  selected_ = -1;
  first_ = 0;
  invalidate();
}

void FileDialog::ok() {
  std::u16string typed = name();
  if (typed.empty() && selected_ >= 0 && model_.entries()[selected_].isFolder) {
    enter(model_.entries()[selected_].name);
    return;
  }
  std::u16string path;
  bool exists = false;
  switch (model_.checkPath(typed, &path, &exists)) {
    case FileDialogModel::PATH_OK:
      break;
    case FileDialogModel::PATH_IS_FOLDER: {
      // A typed folder is entered, and the field is free for the name in it.
      std::u16string folder = FileDialogModel::resolve(model_.folder(), typed);
      enter(folder);
      if (model_.folder() == folder) setName(std::u16string());
      return;
    }
    case FileDialogModel::PATH_EMPTY:
      notify(DrawnFileDialog::NOTICE_EMPTY_NAME, typed);
      return;
    case FileDialogModel::PATH_CONTROL_CHARACTER:
      notify(DrawnFileDialog::NOTICE_CONTROL_CHARACTER, typed);
      return;
    case FileDialogModel::PATH_TOO_LONG:
      notify(DrawnFileDialog::NOTICE_TOO_LONG, typed);
      return;
    case FileDialogModel::PATH_NO_FOLDER:
      notify(DrawnFileDialog::NOTICE_NO_FOLDER,
             FileDialogModel::parentOf(FileDialogModel::resolve(model_.folder(), typed)));
      return;
    case FileDialogModel::PATH_NO_FILE:
      notify(DrawnFileDialog::NOTICE_NO_FILE, FileDialogModel::resolve(model_.folder(), typed));
      return;
  }
  if (model_.purpose() == FileDialogModel::SAVE && exists &&
      DrawnMessageBox::show(
          window_, texts_.title, texts_.notice(DrawnFileDialog::NOTICE_REPLACE_QUESTION, path),
          DrawnMessageBox::BUTTONS_YES_NO, DrawnMessageBox::ICON_QUESTION) != DrawnMessageBox::RESULT_YES)
    return;
  chosen_ = path;
  loop_->done(1);
}

void FileDialog::pointerDown(int x, int y) {
  pressedPart_ = partAt(x, y);
  tappedRow_ = -1;
  dragged_ = false;
  if (pressedPart_ == LIST) {
    WindowSystem::get().setFocus(window_);
    WindowSystem::get().setCapture(window_);
    dragY_ = y;
    dragFirst_ = first_;
    int row = first_ + (y - list_.y0 - 1) / ROW_HEIGHT;
    if (row < static_cast<int>(model_.entries().size())) {
      tappedRow_ = row;
      rowWasChosen_ = row == selected_;
    }
  }
  invalidate();
}

void FileDialog::pointerMove(int y) {
  if (pressedPart_ != LIST) return;
  // Dragging the list moves it by whole rows; the tap is then no choice.
  int rows = (dragY_ - y) / ROW_HEIGHT;
  if (rows == 0 && !dragged_) return;
  dragged_ = true;
  int count = static_cast<int>(model_.entries().size());
  first_ = std::max(0, std::min(dragFirst_ + rows, count - visibleRows()));
  invalidate();
}

void FileDialog::pointerUp(int x, int y) {
  Part part = partAt(x, y);
  Part pressed = static_cast<Part>(pressedPart_);
  pressedPart_ = NONE;
  if (pressed == LIST) WindowSystem::get().releaseCapture();
  invalidate();
  if (part != pressed) return;
  switch (part) {
    case LIST: {
      int count = static_cast<int>(model_.entries().size());
      if (dragged_) break;
      if (count > visibleRows() && x >= list_.x1 - 3 - SCROLL_WIDTH) {
        // The scroll bar pages up or down.
        int knobTop = 0, knob = 0;
        knobSpan(&knobTop, &knob);
        int step = y < knobTop ? -visibleRows() : y >= knobTop + knob ? visibleRows() : 0;
        first_ = std::max(0, std::min(first_ + step, count - visibleRows()));
        break;
      }
      if (tappedRow_ < 0) break;
      if (rowWasChosen_)
        openRow(tappedRow_);
      else
        choose(tappedRow_);
      break;
    }
    case FILTER:
      // The left arrow goes back; anywhere else goes on.
      changeFilter(x < filter_.x0 + ROW_HEIGHT ? -1 : 1);
      break;
    case OK_BUTTON:
      ok();
      break;
    case CANCEL_BUTTON:
      cancel();
      break;
    default:
      break;
  }
}

void FileDialog::paint() {
  WindowSystem& ws = WindowSystem::get();
  Surface* s = ws.getSurface(window_);
  if (!s) return;
  PixelRect all = ws.getRect(window_);
  int width = all.x1 - all.x0, height = all.y1 - all.y0;
  fillRect(*s, 0, 0, width, height, Look::FACE);

  fillRect(*s, caption_.x0, caption_.y0, caption_.x1 - caption_.x0, caption_.y1 - caption_.y0, Look::CAPTION);
  int captionTop = (Look::CAPTION_HEIGHT - Look::FONT_HEIGHT) / 2;
  drawText(*s, fitted(texts_.title, width - 2 * Look::PADDING, false), Look::PADDING, captionTop,
           Look::CAPTION_TEXT, caption_);

  drawText(*s, fitted(model_.folder(), folder_.x1 - folder_.x0, true), folder_.x0,
           folder_.y0 + Look::LINE_GAP, Look::TEXT, folder_);

  paintList(*s);

  // The filter: its description between the arrows that change it.
  const FileDialogModel::Filter& f = model_.filters()[model_.filterIndex()];
  bool several = model_.filters().size() > 1;
  int arrow = ROW_HEIGHT / 2 - 4;
  uint32_t arrowColor = several ? Look::TEXT : Look::GREYED_TEXT;
  int mid = (filter_.y0 + filter_.y1) / 2;
  for (int i = 0; i <= arrow; ++i) {
    fillRect(*s, filter_.x0 + 2 + i, mid - i, 1, 2 * i + 1, arrowColor);
    fillRect(*s, filter_.x1 - 3 - i, mid - i, 1, 2 * i + 1, arrowColor);
  }
  PixelRect label{filter_.x0 + arrow + 8, filter_.y0, filter_.x1 - arrow - 8, filter_.y1};
  std::u16string description = fitted(f.description, label.x1 - label.x0, false);
  drawText(*s, description, (label.x0 + label.x1 - textWidth(description)) / 2,
           filter_.y0 + (ROW_HEIGHT - Look::FONT_HEIGHT) / 2, Look::TEXT, label);

  paintButton(*s, okButton_, texts_.ok, pressedPart_ == OK_BUTTON);
  paintButton(*s, cancelButton_, texts_.cancel, pressedPart_ == CANCEL_BUTTON);
}

void FileDialog::paintList(Surface& s) {
  const PixelRect& r = list_;
  fillRect(s, r.x0, r.y0, r.x1 - r.x0, r.y1 - r.y0, Look::EDIT_FACE);
  drawRectOutline(s, r.x0, r.y0, r.x1 - r.x0 - 1, r.y1 - r.y0 - 1, Look::OUTLINE);
  const std::vector<FileDialogModel::Entry>& entries = model_.entries();
  int count = static_cast<int>(entries.size());
  int rows = visibleRows();
  bool scrolls = count > rows;
  int textRight = r.x1 - 1 - (scrolls ? SCROLL_WIDTH + 2 : 2);
  bool listFocused = WindowSystem::get().getFocus() == window_;
  for (int i = 0; i < rows && first_ + i < count; ++i) {
    const FileDialogModel::Entry& e = entries[first_ + i];
    int top = r.y0 + 1 + i * ROW_HEIGHT;
    bool chosen = first_ + i == selected_;
    uint32_t ink = Look::TEXT;
    if (chosen) {
      fillRect(s, r.x0 + 1, top, textRight - r.x0, ROW_HEIGHT,
               listFocused ? Look::HIGHLIGHT : Look::PRESSED_FACE);
      if (listFocused) ink = Look::HIGHLIGHT_TEXT;
    }
    // A folder is a tabbed block, a file a page outline.
    int ix = r.x0 + 4, iy = top + 4, ih = ROW_HEIGHT - 8;
    if (e.isFolder) {
      fillRect(s, ix, iy, ICON_WIDTH / 2, 2, FOLDER_ICON);
      fillRect(s, ix, iy + 2, ICON_WIDTH, ih - 2, FOLDER_ICON);
    } else {
      drawRectOutline(s, ix + 2, iy, ICON_WIDTH - 5, ih - 1,
                      chosen && listFocused ? Look::HIGHLIGHT_TEXT : Look::OUTLINE);
    }
    PixelRect cell{ix + ICON_WIDTH + 4, top, textRight, top + ROW_HEIGHT};
    drawText(s, fitted(e.name, cell.x1 - cell.x0, false), cell.x0, top + (ROW_HEIGHT - Look::FONT_HEIGHT) / 2,
             ink, cell);
  }
  if (scrolls) {
    int trackTop = r.y0 + 1, track = r.y1 - r.y0 - 2;
    int knobTop = 0, knob = 0;
    knobSpan(&knobTop, &knob);
    fillRect(s, r.x1 - 1 - SCROLL_WIDTH, trackTop, SCROLL_WIDTH, track, Look::SEPARATOR);
    fillRect(s, r.x1 - 1 - SCROLL_WIDTH, knobTop, SCROLL_WIDTH, knob, Look::OUTLINE);
  }
}

void FileDialog::knobSpan(int* top, int* length) const {
  int count = static_cast<int>(model_.entries().size()), rows = visibleRows();
  int track = list_.y1 - list_.y0 - 2;
  *length = std::max(6, track * rows / std::max(1, count));
  *top = list_.y0 + 1 + (count > rows ? (track - *length) * first_ / (count - rows) : 0);
}

void FileDialog::paintButton(Surface& s, const PixelRect& r, const std::u16string& label, bool pressed) {
  int w = r.x1 - r.x0, h = r.y1 - r.y0;
  fillRect(s, r.x0, r.y0, w, h, pressed ? Look::PRESSED_FACE : Look::BUTTON_FACE);
  drawRectOutline(s, r.x0, r.y0, w - 1, h - 1, Look::OUTLINE);
  std::u16string shown = fitted(label, w - 2 * Look::PADDING, false);
  drawText(s, shown, r.x0 + (w - textWidth(shown)) / 2, r.y0 + (h - Look::FONT_HEIGHT) / 2, Look::TEXT, r);
}

}  // namespace

int DrawnFileDialog::show(WindowHandle owner, const Request& request, const Texts& texts,
                          std::u16string* chosen) {
  FileDialog dialog(owner, request, texts);
  return dialog.run(chosen);
}

}  // namespace platform
}  // namespace vwt
