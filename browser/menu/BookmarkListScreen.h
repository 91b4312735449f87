#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "browser/menu/Screen.h"

class Bookmarks;
class MenuScreen;

// The bookmark list (mode 8): one folder's children as menu rows, a ".." row inside a folder. Select
// opens a link (COMMAND_ADDRESS with its URL) or enters a folder; left, escape and clear go up a level.
// SOFT1 or "*" opens the edit menu of the selected row (mode 20): rename, edit URL, new folder, move
// (mode 42: a place among its neighbours or a folder to go into) and delete, which asks first (mode 4).
// The editors are parts of this screen, so that the list under them follows every change; the typed
// names and URLs come back through entered().
class BookmarkListScreen : public Screen {
 public:
  // marks is not owned and must outlive the screen. changed runs once after every edit the user makes,
  // once the list is saved (the canvas tells the session, which schedules the upload).
  BookmarkListScreen(Bookmarks& marks, std::function<void()> changed, int folder = -1);
  ~BookmarkListScreen() override;

  // The folder shown (-1 the top level).
  int folder() const;
  // The node of the selected row; -1 for the ".." row or an empty list.
  int selectedNode() const;
  // Selects the row of that node in the folder shown (nothing when it is not there).
  void selectNode(int node);

  int mode() const override;
  RenderItem* item() override;
  void layout(int viewWidth, int viewHeight, vwt::Font* interfaceFont) override;
  ScreenResult key(int type, int key) override;
  ScreenResult tap(int x, int y) override;
  ScreenResult entered(const String& text) override;

 private:
  // Shows a folder's children, selecting the row of node `select` (the first row when it is not there).
  void show(int folder, int select);
  void open(int node);
  void goUp();
  // The screen now taking the keys: the open editor, else the list.
  Screen* top() const;
  void openEditor(Screen* editor, int node);
  void openEditMenu();
  void openMoveChooser();
  void askDelete();
  // What an editor's result does to the list and to the editor.
  ScreenResult fromEditor(const ScreenResult& result);
  ScreenResult fromList(const ScreenResult& result);
  void move(int target);
  // Saves, tells the owner, closes the editor and shows the folder again, selecting `select`.
  ScreenResult edited(int select);

  Bookmarks& marks_;
  std::function<void()> changed_;
  int folder_;
  std::vector<int> rows_;  // the node of each list row; -1 for the ".." row and the empty-list note
  std::unique_ptr<MenuScreen> list_;
  std::unique_ptr<Screen> editor_;  // the open edit menu, move chooser or confirmation; null when none
  int editorCommand_ = 0;           // the command whose editor is open, or whose typed text is awaited
  int editNode_ = -1;               // the node being edited
  int viewWidth_ = 0, viewHeight_ = 0;
  vwt::Font* font_ = nullptr;  // not owned
};
