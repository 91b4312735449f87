#include "vwt/ui/Clipboard.h"

#include <string>

#include "vwt/platform/Clipboard.h"

void Clipboard::setText(const String& text) {
  vwt::platform::Clipboard::setText(std::u16string(text.getCString(), text.length()));
}

String Clipboard::getText() {
  std::u16string text = vwt::platform::Clipboard::getText();
  return String(text.data(), 0, static_cast<int>(text.size()));
}

bool Clipboard::hasText() { return vwt::platform::Clipboard::hasText(); }
