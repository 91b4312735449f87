#pragma once

#include "vwt/lang/String.h"

// The order of the letter menu's entries (record 30768): command letters, most recently used first,
// ending with a space.
class MenuOrder {
 public:
  static const char16_t DEFAULT_ORDER[];  // u"GYgWMyjAK "

  // The stored order, mended: letters that are no command letter or come twice are dropped, missing
  // ones are added before the closing space. An empty or unusable text gives the default.
  explicit MenuOrder(const String& stored);

  const String& letters() const { return letters_; }
  // Moves the letter to the front; a letter not in the order is ignored.
  void use(char16_t letter);
  // The entry name of a letter, from message 10254; empty when the text does not name it.
  static String nameOf(char16_t letter);
  // The same from a given text (entries "<letter + 44><name>: <host>," as the cookie lookup reads them).
  static String nameIn(const String& text, char16_t letter);

 private:
  String letters_;
};
