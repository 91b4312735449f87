#pragma once

#include "vwt/lang/String.h"

// What a key, a tap or a typed text did to an open menu or panel: the canvas carries it out.
struct ScreenResult {
  enum Action {
    IGNORED = 0,   // not for this screen; nothing changed
    CHANGED,       // the screen changed: repaint it
    CLOSE,         // close this screen; the mode of the one below comes back
    COMMAND,       // close this screen, then run `command` with `argument`
    COMMAND_KEEP,  // run `command` with `argument`; the screen stays open
    ENTRY,         // open a text entry with `text`, `imeMode` and `maxLength`; its answer goes to entered()
  };

  Action action = IGNORED;
  int command = 0;
  int argument = 0;
  String text;
  int imeMode = 0;
  int maxLength = 0;

  static ScreenResult ignored() { return ScreenResult(); }
  static ScreenResult changed() { return of(CHANGED); }
  static ScreenResult close() { return of(CLOSE); }
  static ScreenResult run(int command, int argument = 0) {
    ScreenResult r = of(COMMAND);
    r.command = command;
    r.argument = argument;
    return r;
  }
  static ScreenResult runAndKeep(int command, int argument = 0) {
    ScreenResult r = run(command, argument);
    r.action = COMMAND_KEEP;
    return r;
  }
  static ScreenResult entry(const String& text, int imeMode, int maxLength) {
    ScreenResult r = of(ENTRY);
    r.text = text;
    r.imeMode = imeMode;
    r.maxLength = maxLength;
    return r;
  }

 private:
  static ScreenResult of(Action a) {
    ScreenResult r;
    r.action = a;
    return r;
  }
};
