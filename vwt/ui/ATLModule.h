#pragma once

#include "vwt/ui/Module.h"

class Flash;

// The control-hosting library that attaches a movie's control to its host window. One per process,
// made by Application::getATLModule().
//
// The handset's library has no counterpart here, so the module is null; the stand-in Flash has no
// control, and attaching it asks nothing of the library. That keeps Flash working while a real
// control (which only a platform with the library has) still meets the library's checks.
class ATLModule : public Module {
 public:
  // The handset's hosting library.
  static const char16_t HOSTING_LIBRARY[];

  ATLModule();
  // Another library of the same kind (tests).
  explicit ATLModule(const String& fileName);

  // Attaches the flash's control to its host window; nothing for a flash without a control.
  void attachFlash(Flash* flash);
  // -3300 when the library is missing, -3301 when it lacks the attach entry point; otherwise the
  // entry point's result.
  int attachControl(void* control, int hostWindow);
};
