#pragma once

#include "vwt/lang/String.h"

// What the session core tells the window. Called from the worker thread as
// well as the interface thread: implementations only note the change and
// let the window's loop act on it, except where said.
class SessionView {
 public:
  virtual ~SessionView() = default;
  // The page or its images changed.
  virtual void requestRepaint() = 0;
  virtual void statusTextChanged() = 0;
  // A new page became current.
  virtual void pageShown() = 0;

  // The service's commands that reach outside the browser (the worker
  // thread): start another program (launch type and argument), end the
  // browser, hand a file to the download program. Nothing by default.
  virtual void launchProgram(int /*launchType*/, const String& /*argument*/) {}
  virtual void terminate() {}
  virtual void launchDownload(const String& /*url*/, const String& /*referrer*/, const String& /*cookies*/) {}
};
