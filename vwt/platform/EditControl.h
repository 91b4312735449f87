#pragma once

#include <cstdint>
#include <string>

#include "vwt/platform/WindowSystem.h"

namespace vwt {
namespace platform {

// A drawn text field, a window class of its own inside the program's window: single-line (scrolled
// sideways so that the caret stays in view) or multi-line (wrapped at the width, scrolled down with
// a scroll indicator), with a caret, a selection by keys (shift and the arrows) and by stylus (press
// and drag), and cut, copy and paste through the Clipboard.
//
// The text is the window's text (WindowSystem::setText/getText), line ends as CR LF; setting it from
// outside puts the caret at the start. Keys come as the window system delivers them to the focus:
// characters as WM_CHAR, Backspace, Delete, the arrows, Enter and Escape as WM_KEYDOWN. Enter in a
// single-line control and Escape in any post WM_COMMAND to the parent (low word ENTER_COMMAND or
// ESCAPE_COMMAND, lParam the control). Positions are UTF-16 units of the text. UI thread only.
class EditControl {
 public:
  // Style bits, next to the window system's (STYLE_VISIBLE, STYLE_DISABLED; STYLE_CHILD is implied).
  enum Style : uint32_t {
    EDIT_MULTILINE = 0x10000,
    EDIT_PASSWORD = 0x20000,  // shows '*' for every character
    EDIT_DIGITS = 0x40000,    // refuses everything but '0'..'9'
  };
  static const int ENTER_COMMAND = 0x7E10;
  static const int ESCAPE_COMMAND = 0x7E11;
  static const char16_t CLASS_NAME[];

  // A child of parent, shown only with STYLE_VISIBLE; 0 when it cannot be made.
  static WindowHandle create(WindowHandle parent, int x, int y, int width, int height, uint32_t style,
                             const std::u16string& text);
  static bool isEditControl(WindowHandle control);

  // The selection as anchor and caret (the caret is the end that moves); equal when nothing is
  // selected. Out-of-range positions are clamped; a CR LF pair is never split.
  static void setSelection(WindowHandle control, int anchor, int caret);
  static int getAnchor(WindowHandle control);
  static int getCaret(WindowHandle control);
  static void getSelection(WindowHandle control, int* start, int* end);

  // Typing as the user would: replaces the selection with text, filtered by the digits-only rule and
  // cut to the limit (single-line controls keep only the first line). False when nothing could go in.
  static bool replaceSelection(WindowHandle control, const std::u16string& text);
  static void cut(WindowHandle control);
  static void copy(WindowHandle control);
  static void paste(WindowHandle control);
  // Deletes the selection.
  static void clear(WindowHandle control);
  static void selectAll(WindowHandle control);

  // The most units the text may hold; 0 is no limit. A text already longer is left as it is.
  static void setLimit(WindowHandle control, int units);
  static int getLimit(WindowHandle control);

  // The view, for tests: the first line shown, the lines of the laid-out text, the sideways scroll
  // in pixels of a single-line control.
  static int getFirstVisibleLine(WindowHandle control);
  static int getLineCount(WindowHandle control);
  static int getScrollX(WindowHandle control);
};

}  // namespace platform
}  // namespace vwt
