#pragma once

#include "vwt/lang/String.h"

// The on/off settings kept in the canvas flag word: which command flips which bit, the setting's
// name, how its two states read and whether the page is reloaded after.
class SettingToggles {
 public:
  struct Toggle {
    int command;
    int bit;      // the flag bit's number
    int nameId;   // the setting's name
    int onId;     // the state text while the bit is set
    int offId;    // the state text while the bit is clear
    bool reload;  // the page is requested again after the change
  };

  static const int STATE_ON = 10033;
  static const int STATE_OFF = 10034;

  // The toggle of command, null when the command is no toggle.
  static const Toggle* find(int command);
  static int count();
  static const Toggle& at(int i);  // 0 <= i < count()
  static int mask(const Toggle& toggle) { return 1 << toggle.bit; }
  static bool isSet(const Toggle& toggle, int flags) { return (flags & mask(toggle)) != 0; }
  // Whether the setting shows its first state (10033, or the toggle's own) with these flags.
  static bool readsOn(const Toggle& toggle, int flags) {
    return isSet(toggle, flags) != (toggle.onId == STATE_OFF);
  }
  // The state text for these flags.
  static String stateText(const Toggle& toggle, int flags);
  // "name\tstate", as a settings menu row shows it.
  static String rowText(const Toggle& toggle, int flags);
};
