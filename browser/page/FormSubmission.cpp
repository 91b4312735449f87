#include "browser/page/FormSubmission.h"

String FormSubmission::fields(RenderItem* form, RenderItem* pressedButton, int pointX, int pointY) {
  (void)form, (void)pressedButton, (void)pointX, (void)pointY;
  return String();
}

String FormSubmission::action(RenderItem* form) { return form ? form->text : String(); }
