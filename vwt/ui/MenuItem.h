#pragma once

#include "vwt/ui/AbstractButton.h"

// One item of a PopupMenu: its command id, its text, whether it can be chosen and whether it
// shows a check mark.
class MenuItem : public AbstractButton {
 public:
  MenuItem(int id, const String& text, bool enabled = true, bool checked = false)
      : AbstractButton(id, text, enabled), checked_(checked) {}

  bool isChecked() const { return checked_; }
  void setChecked(bool checked) { checked_ = checked; }

 private:
  bool checked_;
};
