#pragma once

#include "browser/page/RenderItem.h"
#include "vwt/lang/String.h"

// The data a form sends and the address it goes to.
class FormSubmission {
 public:
  // The form's fields as "name=value&..." (URL-encoded, UTF-8), in the form's control order: text,
  // password and text-area values; checked checkboxes and radios; SELECT/LIST selected option values
  // (the label when an option has no value); hidden fields; the pressed submit button's name=label (only
  // it); an image button as name.x=X&name.y=Y. File-upload buttons send nothing here.
  static String fields(RenderItem* form, RenderItem* pressedButton, int pointX, int pointY);
  // The address the form goes to: its action text.
  static String action(RenderItem* form);
  // Whether control (a form's control entry or the item it holds) belongs to form.
  static bool contains(RenderItem* form, RenderItem* control);
};
