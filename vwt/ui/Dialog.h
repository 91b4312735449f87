#pragma once

#include "vwt/lang/Object.h"
#include "vwt/lang/String.h"

class Window;

// A modal message box: its buttons and icon come from the type.
class Dialog : public Object {
 public:
  // 0 OK with a stop icon, 1 OK with a warning, 2 OK with information, 3 Yes/No and 4
  // Yes/No/Cancel with a question; any other type OK with a question.
  using DialogType = int;
  static constexpr int TYPE_ERROR = 0;
  static constexpr int TYPE_WARNING = 1;
  static constexpr int TYPE_INFORMATION = 2;
  static constexpr int TYPE_YES_NO = 3;
  static constexpr int TYPE_YES_NO_CANCEL = 4;
  // show() results.
  static constexpr int RESULT_OK = 0;
  static constexpr int RESULT_YES = 1;
  static constexpr int RESULT_NO = 2;
  static constexpr int RESULT_OTHER = 3;

  // owner may be null; it is not owned.
  Dialog(const Window* owner, DialogType type, const String& caption, const String& text);

  void setText(const String& text) { text_ = text; }

  // Runs the box modally over owner's window with line feeds shown as line ends; RESULT_OTHER for
  // Cancel, a close, or no window system. From a worker thread the box runs on the UI thread,
  // which must be running its loop, and the worker waits for the answer.
  int show();

 private:
  const Window* owner_;
  String caption_;
  String text_;
  DialogType type_;
};
