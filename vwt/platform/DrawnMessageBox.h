#pragma once

#include <string>

#include "vwt/platform/WindowSystem.h"

namespace vwt {
namespace platform {

// A modal message box drawn in the program's own window: centred over the screen, a caption bar,
// an icon, the text wrapped to the box and a row of buttons. Left and right move between the
// buttons, select presses the focused one, escape cancels (No without a Cancel button, OK in a box
// with only OK), the soft keys press the first and the last button; the stylus presses a button
// where it is released over the one it went down on.
class DrawnMessageBox {
 public:
  // Button sets.
  static constexpr int BUTTONS_OK = 0;
  static constexpr int BUTTONS_YES_NO = 1;
  static constexpr int BUTTONS_YES_NO_CANCEL = 2;
  // Icons.
  static constexpr int ICON_NONE = 0;
  static constexpr int ICON_STOP = 1;
  static constexpr int ICON_WARNING = 2;
  static constexpr int ICON_INFORMATION = 3;
  static constexpr int ICON_QUESTION = 4;
  // Results; also the numbers of a script's `answer`.
  static constexpr int RESULT_OK = 0;
  static constexpr int RESULT_YES = 1;
  static constexpr int RESULT_NO = 2;
  static constexpr int RESULT_CANCEL = 3;

  // Runs the box modally over owner (0: no owner) and returns the button pressed; RESULT_CANCEL
  // when the program quits or there is no window system. From another thread the box runs on the
  // UI thread and the caller waits for it.
  static int show(WindowHandle owner, const std::u16string& caption, const std::u16string& text, int buttons,
                  int icon);
};

}  // namespace platform
}  // namespace vwt
