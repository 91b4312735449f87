#pragma once

#include "vwt/lang/String.h"

// The desktop's text clipboard as the browser sees it: what the user copies from a page goes there,
// where other programs can paste it. Without a desktop (headless) the clipboard lives in the
// process. UI thread.
class Clipboard {
 public:
  static void setText(const String& text);
  // An empty text when nothing has been copied.
  static String getText();
  static bool hasText();
};
