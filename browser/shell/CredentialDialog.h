#pragma once

#include "vwt/lang/String.h"

class Window;

// The dialog that asks for a user name and password when a page needs
// them: the service's prompt, a user-name field, a password field, OK and
// Cancel, drawn in the look of the toolkit's other dialogs and run modally.
//
// Enter in the user-name field goes on to the password field, Enter there
// is OK, escape cancels. The field that has the keys keeps the soft keys and
// arrows to itself; once the box has them (a tap beside the fields), up and
// down choose a field, the soft keys are OK and Cancel. A script's `answer 1` is OK with what the fields
// hold (`answer 1 NAME:PASSWORD` fills them first: a Basic user name holds
// no colon), `answer 0` is Cancel.
class CredentialDialog {
 public:
  struct Answer {
    bool confirmed = false;
    String user;
    String password;
  };
  // Script answers.
  static const int RESULT_CANCEL = 0;
  static const int RESULT_OK = 1;

  // Runs the dialog over owner (null: none) on the UI thread; from another
  // thread the caller waits for the answer. Cancelled without a window system.
  static Answer show(const Window* owner, const String& prompt, const String& user, const String& password);
};
