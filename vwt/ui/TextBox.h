#pragma once

#include <cstdint>

#include "vwt/lang/String.h"
#include "vwt/ui/ActionListener.h"
#include "vwt/ui/Component.h"

class PopupMenu;

// Text entry over the drawn edit control: the frame's input-method box. A handset without a shift
// key selects through the edit menu's selection mode, in which the arrows move one end of the
// selection; the menu (the right soft key) cuts, copies, pastes, clears, selects all and cancels.
// The control's text keeps CR LF line ends; what listeners get has LF.
class TextBox : public Component, public ActionListener {
 public:
  // Style bits.
  static const int STYLE_PASSWORD = 1;  // exactly 1: with any other bit it is not a password
  static const int STYLE_MULTILINE = 0x10;
  static const int STYLE_CARET_AT_END = 0x20;
  static const int STYLE_SELECT_ALL = 0x40;
  // The input mode that takes digits only.
  static const int IME_MODE_DIGITS = 0;
  // The edit menu's commands.
  static const int MENU_SELECT = 30000;
  static const int MENU_CUT = 30001;
  static const int MENU_COPY = 30002;
  static const int MENU_PASTE = 30003;
  static const int MENU_CLEAR = 30004;
  static const int MENU_SELECT_ALL = 30005;
  static const int MENU_CANCEL = 30006;

  // A child of parent (which must have its window), focused and on top of its siblings; sets the
  // main frame's soft labels.
  TextBox(Window* parent, int x, int y, int width, int height, const String& initialText, int style,
          int imeMode);
  ~TextBox() override;

  void onKeyPressed(int key) override;
  void onKeyReleased(int key) override;
  bool onPreTranslateMessage(int handle, uint32_t message, uintptr_t wParam, intptr_t lParam) override;
  void actionPerformed(AbstractButton* source, int commandId) override;

  // Hides the box and tells the listeners its text with LF line ends: type 0 done, 1 cancelled.
  using Component::fireIMEEvent;
  void fireIMEEvent(int type);

  int getStyle() const { return style_; }
  bool isSelecting() const { return selectAnchor_ >= 0; }
  int getSelectAnchor() const { return selectAnchor_; }
  int getSelectEnd() const { return selectEnd_; }
  int getSelectColumn() const { return selectColumn_; }
  // |end - anchor| in selection mode, else the control's selection.
  int getSelectionLength() const;
  // Whether the edit menu would offer the command now.
  bool isMenuCommandEnabled(int id) const;
  // The menu last opened, kept until the next one or the box goes, as its command arrives later.
  PopupMenu* getMenu() const { return menu_; }

  // The selection end after an arrow key in selection mode, text with CR LF line ends. column is
  // the caret's column: right and left set it, up and down keep to it.
  static int moveSelectEnd(const String& text, int end, int key, int* column);
  // The column of a position: its distance from the start of its line.
  static int columnOf(const String& text, int position);
  // How the menu opens from the screen point x, y: towards the middle of the frame's rectangle.
  static int menuAlignment(int x, int y, int frameX, int frameY, int frameWidth, int frameHeight);

 private:
  void enterSelectionMode();
  void leaveSelectionMode() { selectAnchor_ = -1; }
  void showEditMenu();
  void dropMenu();

  int style_;
  PopupMenu* menu_ = nullptr;  // owned
  int selectAnchor_ = -1;
  int selectColumn_ = 0;
  int selectEnd_ = 0;
};
