#pragma once

#include "vwt/lang/String.h"
#include "vwt/ui/EventListener.h"

// Told what the input method did to a text box.
class TextListener : public EventListener {
 public:
  virtual void processIMEEvent(int type, const String& text) { (void)type, (void)text; }
};
