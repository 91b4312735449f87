#pragma once

#include "vwt/lang/String.h"

// Properties of the handset.
class Phone {
 public:
  // 0: "WM_" and the device identifier of this application ("WM_" alone
  // when the system has none). 1: the decimal text of n repeated to 15
  // characters. Others: null.
  static String getProperty(int property, int n = 0);
  // The 28-character text of a 20-byte identifier.
  static String encodeDeviceId(const unsigned char id[20]);
};
