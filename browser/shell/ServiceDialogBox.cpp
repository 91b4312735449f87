#include "browser/shell/ServiceDialogBox.h"

#include "browser/shell/CredentialDialog.h"
#include "vwt/lang/Resource.h"
#include "vwt/ui/Dialog.h"

namespace {
const int DEFAULT_TITLE = 10231;
}

ServiceDialogBox::ServiceDialogBox(const Window* owner, CredentialAnswer answer)
    : owner_(owner), answer_(std::move(answer)) {}

void ServiceDialogBox::showInformation(const String& title, const String& text) {
  Dialog box(owner_, Dialog::TYPE_INFORMATION, title.isNull() ? Resource::getString(DEFAULT_TITLE) : title,
             text);
  box.show();
}

bool ServiceDialogBox::askYesNo(const String& title, const String& text) {
  Dialog box(owner_, Dialog::TYPE_YES_NO, title, text);
  return box.show() == Dialog::RESULT_YES;
}

void ServiceDialogBox::askCredentials(const String& prompt, const String& user, const String& password) {
  CredentialDialog::Answer answer = CredentialDialog::show(owner_, prompt, user, password);
  if (answer_) answer_(answer.confirmed, answer.user, answer.password);
}
