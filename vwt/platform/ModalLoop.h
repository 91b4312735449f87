#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <set>
#include <string>

#include "vwt/platform/WindowSystem.h"

namespace vwt {
namespace platform {

// The nested message loop of one modal dialog, run on the UI thread. While it runs, the dialog's
// window has the focus, the owner is disabled, and input meant for any other window is dropped.
//
// A script's `answer N [TEXT]` ends the next dialog at once: N is what the toolkit call returns
// (a message box: 0 OK, 1 Yes, 2 No, 3 other; a file dialog: 1 approved with TEXT as the path,
// 0 cancelled; a popup menu: the chosen item's id, 0 dismissed).
class ModalLoop {
 public:
  // The dialog's own window, which receives its input.
  explicit ModalLoop(WindowHandle dialog, WindowHandle owner = 0);
  ModalLoop(const ModalLoop&) = delete;
  ModalLoop& operator=(const ModalLoop&) = delete;

  // Runs until done(); a queued script answer ends it at once without a pass of the loop.
  // cancelResult is what a quit (posted again for the outer loop) or a destroyed dialog window
  // returns.
  int exec(int cancelResult);
  // Ends exec() with result after the message being handled; from another thread too.
  void done(int result);
  bool isDone() const { return done_; }

  bool answeredByScript() const { return answeredByScript_; }
  // The script answer's TEXT, empty without one.
  const std::u16string& answerText() const { return answerText_; }

  // What the program's main loop does to a message before it is translated and dispatched
  // (accelerators, pre-translation); true when it was used up. The application sets it.
  using Filter = std::function<bool(const Message&)>;
  static void setFilter(Filter filter);

 private:
  bool belongsToDialog(WindowHandle window) const;
  bool isInput(uint32_t kind) const;

  WindowHandle dialog_;
  WindowHandle owner_;
  std::atomic<bool> done_{false};
  std::atomic<int> result_{0};
  bool answeredByScript_ = false;
  std::u16string answerText_;
  std::set<int> keysPressed_;  // key downs the dialog saw; other key ups go back to the old focus
};

}  // namespace platform
}  // namespace vwt
