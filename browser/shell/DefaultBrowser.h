#pragma once

#include <functional>

#include "vwt/lang/String.h"
#include "vwt/lang/VectorV.h"

// Whether this browser opens the system's web addresses, and switching that on and off: the registry's
// http and https open commands, and on the desktop its default web browser setting.
class DefaultBrowser {
 public:
  // The desktop's side; tests replace it so that nothing is run.
  struct Desktop {
    std::function<bool(const String& program)> hasProgram;       // found on the PATH
    std::function<bool(const String& desktopFile)> isInstalled;  // in an applications directory
    std::function<void(const VectorV<String>& command)> run;     // runs it to its end; no failure
  };
  // The real desktop: PATH, XDG data directories and started processes.
  static Desktop system();

  // executable: the browser's program with its path. An empty desktop does nothing.
  explicit DefaultBrowser(const String& executable, Desktop desktop = Desktop());

  bool isDefault();
  // Default: gives the addresses back to "iexplore.exe %1". Otherwise takes them (and, when
  // xdg-settings and our desktop file are there, the desktop's setting too).
  void toggle();

 private:
  void takeDesktop();

  String executable_;
  Desktop desktop_;
};
