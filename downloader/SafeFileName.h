#pragma once

#include "vwt/lang/String.h"

// Names from the network never leave the folder they are saved in.
class SafeFileName {
 public:
  // A name from the network made safe to put in a folder: directory parts
  // (both '/' and '\'), "..", leading dots that would hide it, and control
  // characters removed; "" when nothing is left.
  static String clean(const String& name);
};
