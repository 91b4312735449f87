#pragma once

#include "vwt/lang/String.h"

// The questions the service channel puts to the user. The window gives real
// dialogs; without a window (the text dump) the session core answers them
// itself. Called from the worker thread as well as the interface thread.
class SessionDialogs {
 public:
  virtual ~SessionDialogs() = default;
  // A notice; a null title is the default one.
  virtual void showInformation(const String& title, const String& text) = 0;
  // True for yes.
  virtual bool askYesNo(const String& title, const String& text) = 0;
  // Asks for a user name and password; the answer reaches the session core
  // (typed credentials and dialog state) before the call returns or, for a
  // dialog that opens later, before the next request.
  virtual void askCredentials(const String& prompt, const String& user, const String& password) = 0;
};
