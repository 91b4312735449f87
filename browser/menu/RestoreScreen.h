#pragma once

#include <memory>

#include "browser/menu/Screen.h"

class PanelScreen;

// What to take from a backup picture (mode 50): a choice row per section found in it (1 bookmarks,
// 2 option flags, 4 shortcut keys, 8 settings, 0x10 home page), all chosen at first, and "Restore",
// which returns COMMAND_RESTORE_CHOSEN with the chosen sections' bits.
class RestoreScreen : public Screen {
 public:
  static const int COMMAND_RESTORE_CHOSEN = 2950;  // COMMAND_PANEL_BASE + 950
  static const int SECTIONS = 0x1F;

  // Bits outside the five sections are dropped.
  explicit RestoreScreen(int foundBits);
  ~RestoreScreen() override;

  int found() const { return found_; }
  // The sections whose rows are checked.
  int chosen() const;

  int mode() const override;
  RenderItem* item() override;
  void layout(int viewWidth, int viewHeight, vwt::Font* interfaceFont) override;
  ScreenResult key(int type, int key) override;
  ScreenResult tap(int x, int y) override;

 private:
  ScreenResult handled(ScreenResult result) const;

  int found_;
  int rows_[5];  // the panel child of each section's row; -1 when not found
  std::unique_ptr<PanelScreen> panel_;
};
