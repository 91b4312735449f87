#include "browser/menu/BookmarkListScreen.h"

#include <algorithm>

#include "browser/menu/CommandId.h"
#include "browser/menu/ConfirmPanel.h"
#include "browser/menu/MenuScreen.h"
#include "browser/menu/PanelScreen.h"
#include "browser/store/Bookmarks.h"
#include "vwt/lang/Resource.h"
#include "vwt/ui/Window.h"

namespace {

const int MODE_LIST = 8;
const int MODE_EDIT = 20;
const int MODE_MOVE = 42;

const int ICON_FOLDER = 7;
const int ICON_LINK = 14;

// Text entry modes: plain text for names, the address mode for URLs.
const int ENTRY_URL = 1;
const int ENTRY_TEXT = 2;
const int URL_LIMIT = 1024;

// The move chooser's two places among the neighbours; any other target is a folder (-1 the top).
const int MOVE_UP = -2;
const int MOVE_DOWN = -3;

// The confirmations of deleting a link or an empty folder, and a folder with what it holds.
const int CONFIRM_DELETE = COMMAND_BOOKMARK_CLEAR_ALL;
const int CONFIRM_DELETE_FOLDER = COMMAND_BOOKMARK_REMOVE_FOLDER;

const int MSG_DELETE_TITLE = 10051;
const int MSG_DELETE_QUESTION = 10052;
const int MSG_DELETE_FOLDER_TITLE = 10053;
const int MSG_DELETE_EMPTY_FOLDER_QUESTION = 10054;
const int MSG_DELETE_FOLDER_QUESTION = 10055;
const int MSG_BOOKMARKS = 10450;
const int MSG_EMPTY = 10451;
const int MSG_RENAME = 10452;
const int MSG_EDIT_URL = 10453;
const int MSG_NEW_FOLDER = 10454;
const int MSG_MOVE = 10455;
const int MSG_DELETE = 10456;
const int MSG_NEW_FOLDER_NAME = 10457;
const int MSG_MOVE_TITLE = 10458;
const int MSG_MOVE_UP = 10459;
const int MSG_MOVE_DOWN = 10460;
const int MSG_TOP_LEVEL = 10461;
const int MSG_EDIT_TITLE = 10462;

bool released(int type) { return type == 1; }

// The folder holding node n; -1 for a top-level node.
int parentOf(const Bookmarks& marks, int n) {
  const int level = marks.depth(n);
  for (int i = n - 2; i >= 0 && level > 0; i -= 2)
    if (marks.depth(i) < level) return i;
  return -1;
}

// The child of n's parent just before (step -1) or after (step 1) n; -1 when n is the first or last.
int sibling(const Bookmarks& marks, int n, int step) {
  std::vector<int> siblings = marks.children(parentOf(marks, n));
  auto at = std::find(siblings.begin(), siblings.end(), n);
  if (at == siblings.end()) return -1;
  const int i = static_cast<int>(at - siblings.begin()) + step;
  return i >= 0 && i < static_cast<int>(siblings.size()) ? siblings[i] : -1;
}

bool inside(const Bookmarks& marks, int n, int ancestor) {
  return n > ancestor && n < marks.subtreeEnd(ancestor);
}

}  // namespace

BookmarkListScreen::BookmarkListScreen(Bookmarks& marks, std::function<void()> changed, int folder)
    : marks_(marks), changed_(std::move(changed)), folder_(-1) {
  show(folder >= 0 && marks.isFolder(folder) ? folder : -1, -1);
}

BookmarkListScreen::~BookmarkListScreen() = default;

int BookmarkListScreen::folder() const { return folder_; }

int BookmarkListScreen::selectedNode() const {
  const int row = list_->selected();
  return row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[row] : -1;
}

void BookmarkListScreen::selectNode(int node) {
  auto at = std::find(rows_.begin(), rows_.end(), node);
  if (node >= 0 && at != rows_.end()) list_->select(static_cast<int>(at - rows_.begin()));
}

void BookmarkListScreen::show(int folder, int select) {
  folder_ = folder;
  const String title = folder < 0 ? Resource::getString(MSG_BOOKMARKS) : marks_.getTitle(folder);
  list_.reset(new MenuScreen(MODE_LIST, title));
  rows_.clear();
  if (folder >= 0) {
    list_->addRow(u".."_s, COMMAND_BOOKMARK_OPEN, ICON_FOLDER, true, 0, 0);
    rows_.push_back(-1);
  }
  for (int child : marks_.children(folder)) {
    const bool isFolder = marks_.isFolder(child);
    list_->addRow(marks_.getTitle(child), COMMAND_BOOKMARK_OPEN, isFolder ? ICON_FOLDER : ICON_LINK, true, 0,
                  static_cast<int>(rows_.size()));
    rows_.push_back(child);
  }
  if (rows_.empty()) {
    // Something to read where the list would be; the edit menu still offers a new folder.
    list_->addRow(Resource::getString(MSG_EMPTY), COMMAND_BOOKMARK_OPEN, -1, false);
    rows_.push_back(-1);
  }
  // Inside a folder the first bookmark is a better start than "..".
  int row = folder >= 0 && rows_.size() > 1 ? 1 : 0;
  auto at = std::find(rows_.begin(), rows_.end(), select);
  if (select >= 0 && at != rows_.end()) row = static_cast<int>(at - rows_.begin());
  list_->select(row);
  if (font_) list_->layout(viewWidth_, viewHeight_, font_);
}

void BookmarkListScreen::open(int node) {
  if (node < 0) {
    goUp();
  } else if (marks_.isFolder(node)) {
    show(node, -1);
  }
}

void BookmarkListScreen::goUp() {
  if (folder_ >= 0) show(parentOf(marks_, folder_), folder_);
}

Screen* BookmarkListScreen::top() const {
  return editor_ ? editor_.get() : static_cast<Screen*>(list_.get());
}

int BookmarkListScreen::mode() const { return top()->mode(); }

RenderItem* BookmarkListScreen::item() { return top()->item(); }

void BookmarkListScreen::layout(int viewWidth, int viewHeight, vwt::Font* interfaceFont) {
  viewWidth_ = viewWidth;
  viewHeight_ = viewHeight;
  font_ = interfaceFont;
  list_->layout(viewWidth, viewHeight, interfaceFont);
  if (editor_) editor_->layout(viewWidth, viewHeight, interfaceFont);
}

ScreenResult BookmarkListScreen::key(int type, int key) {
  if (editor_) {
    // The edit menu's left soft key reads "OK": it takes the selected row.
    if (editor_->mode() == MODE_EDIT && key == Window::KEY_SOFT1)
      return released(type) ? fromEditor(editor_->key(type, Window::KEY_SELECT)) : ScreenResult::ignored();
    return fromEditor(editor_->key(type, key));
  }
  switch (key) {
    case Window::KEY_SOFT1:
    case Window::KEY_ASTERISK:
      if (!released(type)) return ScreenResult::ignored();
      openEditMenu();
      return ScreenResult::changed();
    case Window::KEY_LEFT:
      if (released(type) || folder_ < 0) return ScreenResult::ignored();
      goUp();
      return ScreenResult::changed();
    case Window::KEY_RIGHT: {
      const int node = selectedNode();
      if (released(type) || node < 0 || !marks_.isFolder(node)) return ScreenResult::ignored();
      show(node, -1);
      return ScreenResult::changed();
    }
    case Window::KEY_ESCAPE:
    case Window::KEY_BACKSPACE:
      // Back out of a folder a level at a time; at the top the list closes.
      if (folder_ < 0) break;
      if (released(type)) goUp();
      return released(type) ? ScreenResult::changed() : ScreenResult::ignored();
    default:
      break;
  }
  return fromList(list_->key(type, key));
}

ScreenResult BookmarkListScreen::tap(int x, int y) {
  return editor_ ? fromEditor(editor_->tap(x, y)) : fromList(list_->tap(x, y));
}

ScreenResult BookmarkListScreen::fromList(const ScreenResult& result) {
  if (result.action != ScreenResult::COMMAND || result.command != COMMAND_BOOKMARK_OPEN) return result;
  // The menu would close on a run row: a link closes the list and opens, a folder opens in place.
  const int row = result.argument;
  const int node = row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[row] : -1;
  if (node >= 0 && !marks_.isFolder(node)) {
    ScreenResult address = ScreenResult::run(COMMAND_ADDRESS);
    address.text = marks_.getUrl(node);
    return address;
  }
  if (node < 0 && folder_ < 0) return ScreenResult::changed();
  open(node);
  return ScreenResult::changed();
}

void BookmarkListScreen::openEditor(Screen* editor, int node) {
  editor_.reset(editor);
  editNode_ = node;
  if (font_) editor_->layout(viewWidth_, viewHeight_, font_);
}

void BookmarkListScreen::openEditMenu() {
  const int node = selectedNode();
  const bool isNode = node >= 0;
  const bool isLink = isNode && !marks_.isFolder(node);
  MenuScreen* menu =
      new MenuScreen(MODE_EDIT, isNode ? marks_.getTitle(node) : Resource::getString(MSG_EDIT_TITLE));
  menu->addRow(Resource::getString(MSG_RENAME), COMMAND_BOOKMARK_RENAME, -1, isNode, 0, node);
  menu->addRow(Resource::getString(MSG_EDIT_URL), COMMAND_BOOKMARK_EDIT_URL, -1, isLink, 0, node);
  menu->addRow(Resource::getString(MSG_NEW_FOLDER), COMMAND_BOOKMARK_NEW_FOLDER, -1, true, 0, node);
  menu->addRow(Resource::getString(MSG_MOVE), COMMAND_BOOKMARK_MOVE, -1, isNode, 0, node);
  menu->addRow(Resource::getString(MSG_DELETE), COMMAND_BOOKMARK_DELETE, -1, isNode, 0, node);
  menu->select(isNode ? 0 : 2);
  openEditor(menu, node);
}

void BookmarkListScreen::openMoveChooser() {
  const int node = editNode_;
  const int parent = parentOf(marks_, node);
  MenuScreen* menu = new MenuScreen(MODE_MOVE, Resource::getString(MSG_MOVE_TITLE, marks_.getTitle(node)));
  menu->addRow(Resource::getString(MSG_MOVE_UP), COMMAND_BOOKMARK_MOVE, -1, sibling(marks_, node, -1) >= 0, 0,
               MOVE_UP);
  menu->addRow(Resource::getString(MSG_MOVE_DOWN), COMMAND_BOOKMARK_MOVE, -1, sibling(marks_, node, 1) >= 0,
               0, MOVE_DOWN);
  // Every folder it may go into, as a tree; not itself, nothing inside it, not where it is already.
  menu->addRow(Resource::getString(MSG_TOP_LEVEL), COMMAND_BOOKMARK_MOVE, ICON_FOLDER, parent >= 0, 0, -1);
  for (int n = 0; n + 1 < marks_.size(); n += 2) {
    if (!marks_.isFolder(n) || n == node || inside(marks_, n, node)) continue;
    menu->addRow(marks_.getTitle(n), COMMAND_BOOKMARK_MOVE, ICON_FOLDER, n != parent, marks_.depth(n) + 1, n);
  }
  for (int row = 0; row < menu->rowCount(); ++row) {
    if (!menu->enabledAt(row)) continue;
    menu->select(row);
    break;
  }
  openEditor(menu, node);
}

void BookmarkListScreen::askDelete() {
  const int node = editNode_;
  const String title = marks_.getTitle(node);
  PanelScreen* panel;
  if (!marks_.isFolder(node))
    panel = ConfirmPanel::create(Resource::getString(MSG_DELETE_TITLE),
                                 Resource::getString(MSG_DELETE_QUESTION, title), CONFIRM_DELETE);
  else if (marks_.lastChild(node) < 0)
    panel =
        ConfirmPanel::create(Resource::getString(MSG_DELETE_FOLDER_TITLE),
                             Resource::getString(MSG_DELETE_EMPTY_FOLDER_QUESTION, title), CONFIRM_DELETE);
  else
    panel =
        ConfirmPanel::create(Resource::getString(MSG_DELETE_FOLDER_TITLE),
                             Resource::getString(MSG_DELETE_FOLDER_QUESTION, title), CONFIRM_DELETE_FOLDER);
  openEditor(panel, node);
}

ScreenResult BookmarkListScreen::fromEditor(const ScreenResult& result) {
  if (result.action == ScreenResult::CLOSE) {
    editor_.reset();
    return ScreenResult::changed();
  }
  if (result.action != ScreenResult::COMMAND && result.action != ScreenResult::COMMAND_KEEP) return result;
  const int node = editNode_;
  switch (result.command) {
    case COMMAND_BOOKMARK_RENAME:
      editor_.reset();
      editorCommand_ = result.command;
      return ScreenResult::entry(marks_.getTitle(node), ENTRY_TEXT, Bookmarks::TITLE_LIMIT);
    case COMMAND_BOOKMARK_EDIT_URL:
      editor_.reset();
      editorCommand_ = result.command;
      return ScreenResult::entry(marks_.getUrl(node), ENTRY_URL, URL_LIMIT);
    case COMMAND_BOOKMARK_NEW_FOLDER:
      editor_.reset();
      editorCommand_ = result.command;
      return ScreenResult::entry(Resource::getString(MSG_NEW_FOLDER_NAME), ENTRY_TEXT,
                                 Bookmarks::TITLE_LIMIT);
    case COMMAND_BOOKMARK_MOVE:
      if (editor_->mode() == MODE_MOVE) {
        move(result.argument);
        return edited(parentOf(marks_, editNode_) == folder_ ? editNode_ : -1);
      }
      openMoveChooser();
      return ScreenResult::changed();
    case COMMAND_BOOKMARK_DELETE:
      askDelete();
      return ScreenResult::changed();
    case CONFIRM_DELETE:
    case CONFIRM_DELETE_FOLDER: {
      if (result.argument != 1) break;
      // The row that takes the deleted one's place stays selected.
      std::vector<int> siblings = marks_.children(folder_);
      auto at = std::find(siblings.begin(), siblings.end(), node);
      marks_.remove(node);
      int select = -1;
      if (at != siblings.end()) {
        const size_t i = at - siblings.begin();
        std::vector<int> left = marks_.children(folder_);
        if (!left.empty()) select = left[std::min(i, left.size() - 1)];
      }
      return edited(select);
    }
    default:
      break;
  }
  editor_.reset();
  return ScreenResult::changed();
}

void BookmarkListScreen::move(int target) {
  const int node = editNode_;
  const int count = marks_.subtreeEnd(node) - node;
  int moved = -1;  // the node's index afterwards
  if (target == MOVE_UP) {
    const int before = sibling(marks_, node, -1);
    if (before < 0) return;
    marks_.moveBefore(node, before, false);
    moved = before;
  } else if (target == MOVE_DOWN) {
    const int after = sibling(marks_, node, 1);
    if (after < 0) return;
    moved = marks_.subtreeEnd(after) - count;
    marks_.moveBefore(node, after, true);
  } else if (target == -1 || (marks_.isFolder(target) && target != node && !inside(marks_, target, node))) {
    marks_.moveInto(node, target);
    moved = marks_.subtreeEnd(target > node ? target - count : target) - count;
  } else {
    return;
  }
  // The folder shown lies outside what moved, but the block may have passed in front of it.
  if (folder_ >= 0) {
    int shown = folder_ < node ? folder_ : folder_ - count;
    if (shown >= moved) shown += count;
    folder_ = shown;
  }
  editNode_ = moved;
}

ScreenResult BookmarkListScreen::edited(int select) {
  marks_.save();
  if (changed_) changed_();
  editor_.reset();
  editorCommand_ = 0;
  // The folder shown may have gone with what was deleted or moved.
  if (folder_ >= 0 && !marks_.isFolder(folder_)) folder_ = -1;
  show(folder_, select);
  return ScreenResult::changed();
}

ScreenResult BookmarkListScreen::entered(const String& text) {
  const int command = editorCommand_;
  const int node = editNode_;
  editorCommand_ = 0;
  const String typed = text.isNull() ? String() : text.trim();
  if (typed.length() == 0) return ScreenResult::changed();
  switch (command) {
    case COMMAND_BOOKMARK_RENAME:
      if (marks_.getTitle(node).equals(typed)) return ScreenResult::changed();
      marks_.setTitle(node, typed);
      return edited(node);
    case COMMAND_BOOKMARK_EDIT_URL:
      if (node < 0 || marks_.isFolder(node) || marks_.getUrl(node).equals(typed))
        return ScreenResult::changed();
      marks_.setUrl(node, typed);
      return edited(node);
    case COMMAND_BOOKMARK_NEW_FOLDER: {
      // Beside the selected bookmark; in an empty folder as its first child.
      int made;
      if (node >= 0) {
        made = marks_.addFolder(node, typed);
      } else if (marks_.lastChild(folder_) >= 0) {
        made = marks_.addFolder(marks_.lastChild(folder_), typed);
      } else {
        made = marks_.addFolder(-1, typed);
        if (made >= 0 && folder_ >= 0) {
          marks_.moveInto(made, folder_);
          made = folder_ + 2;
        }
      }
      if (made < 0) return ScreenResult::changed();
      return edited(made);
    }
    default:
      return ScreenResult::changed();
  }
}
