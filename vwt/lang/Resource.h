#pragma once

#include "vwt/lang/String.h"

// Message texts by id: negative ids for the toolkit, positive for programs.
class Resource {
 public:
  // The text of a message id, or String::null when there is none.
  static const String& getString(int id);
};
