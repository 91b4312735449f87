#pragma once

#include <string>

namespace vwt {
namespace platform {

// Answers queued by a script's `answer N [TEXT]` for the modal dialogs to come: each dialog that
// opens takes the oldest one and ends at once with button N (or the file name TEXT). Thread-safe.
class ScriptAnswers {
 public:
  struct Answer {
    int button = 0;
    std::string text;  // UTF-8
  };
  static void push(int button, const std::string& text);
  // False when none is queued (the dialog then waits for input).
  static bool take(Answer* answer);
  static int count();
  static void clear();
};

}  // namespace platform
}  // namespace vwt
