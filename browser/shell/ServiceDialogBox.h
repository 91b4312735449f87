#pragma once

#include <functional>

#include "browser/shell/SessionDialogs.h"
#include "vwt/lang/String.h"

class Window;

// The service channel's questions as the window's dialogs: notices and the
// yes/no question as toolkit message boxes, the credential request as the
// credential dialog. From a worker thread each runs on the interface
// thread and the worker waits for the answer.
class ServiceDialogBox : public SessionDialogs {
 public:
  // What the user answered the credential dialog: OK with the typed pair,
  // or cancel.
  using CredentialAnswer = std::function<void(bool confirmed, const String& user, const String& password)>;

  // owner (not owned) may be null.
  ServiceDialogBox(const Window* owner, CredentialAnswer answer);

  void showInformation(const String& title, const String& text) override;
  bool askYesNo(const String& title, const String& text) override;
  void askCredentials(const String& prompt, const String& user, const String& password) override;

 private:
  const Window* owner_;
  CredentialAnswer answer_;
};
