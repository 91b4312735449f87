#pragma once

#include "vwt/lang/String.h"

class RecordStore;

// What the staged start-up needs of the window: the handset's properties, the records, and the
// steps only the window can take. Called on the interface thread, in start-up order.
class StartupHost {
 public:
  virtual ~StartupHost() = default;
  // A system property; null when it is not set.
  virtual String systemProperty(const String& key) = 0;
  // The handset attribute of that number (-1 when the handset has none).
  virtual int handsetAttribute(int id) = 0;
  virtual RecordStore& records() = 0;
  virtual int viewWidth() = 0;

  // The window list saved under the windows record.
  virtual void restoreWindows() = 0;
  // The font list (scalable sizes, or the fixed fonts when there are none) and the interface,
  // page and base fonts the settings choose; the measures go to the session before any request.
  virtual void setUpFonts(bool scalable) = 0;
  virtual void loadIconStrip() = 0;
  virtual void createStatusBar() = 0;
  virtual void applyFullScreen(bool on) = 0;
  // The screen buffers for the orientation, and the pointer in the middle of the view.
  virtual void createScreenBuffers(int orientation) = 0;
  // Connection and session key; false when either failed (the host has told the user).
  virtual bool establishSession() = 0;
  virtual void openStartUrl(const String& url) = 0;
};
